#ifndef QUENBAR_FRAMEWORK_CONTAINERS_H
#define QUENBAR_FRAMEWORK_CONTAINERS_H

// The containers and small utilities the framework is built on.

#include "util/assocarray.h"
#include "util/base64encdec.h"
#include "util/heapbuf.h"
#include "util/mutex.h"
#include "util/ptrlist.h"
#include "util/utilcstring.h"
#include "util/utilstring.h"

#endif
