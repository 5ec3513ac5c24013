#pragma once

// Error-free transformations for double-double arithmetic. Templates so that
// the same operation sequence runs on plain doubles and on two-lane vectors,
// which keeps the two forms bit-identical (IEEE ops, no contraction).
// Internal linkage on purpose: a translation unit built for another
// instruction set gets its own copies instead of sharing the linker's one.

// s + e == a + b exactly.
template <class T>
static inline void TwoSum(T a, T b, T& s, T& e)
{
  s = a + b;
  T bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// s + e == a + b exactly, provided |a| >= |b| (or a == 0).
template <class T>
static inline void FastTwoSum(T a, T b, T& s, T& e)
{
  s = a + b;
  e = b - (s - a);
}

// hi + lo == a, each half with at most 26 significant bits.
template <class T>
static inline void Split(T a, T& hi, T& lo)
{
  T c = a * 134217729.0;  // 2^27 + 1
  hi = c - (c - a);
  lo = a - hi;
}

// The rounding error of p = a * b (Dekker), exact barring underflow, given the
// split (ah, al) of a.
template <class T>
static inline T ProductErrorSplit(T ah, T al, T b, T p)
{
  T bh, bl;
  Split(b, bh, bl);
  return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}
