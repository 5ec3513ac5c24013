#include "vst3glue/moduleentry.h"

bool InitModule ()
{
	return true;
}

bool DeinitModule ()
{
	return true;
}
