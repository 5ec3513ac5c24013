#pragma once
#include <cstdint>

// The snap stage's saturation curve: a header followed by the curve sampled at
// `perUnit` entries per unit of input. Read-only, shared by every instance.
struct TiltPreTable
{
  float inputMin;   // input at entry 0
  float pastEnd;    // value used past the last usable entry (equals entry 199)
  float perUnit;    // entries per unit of input
  int32_t count;    // number of entries
  float entries[200];
};

extern const TiltPreTable tiltpre_table;
