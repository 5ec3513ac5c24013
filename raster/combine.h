// Pixel combine modes: how a source colour merges into a destination pixel at a weight.
// Contract: pure functions on caller-owned pixels; any thread, no locks.
// Each operation is a class with one static doPix(dest, r, g, b, a, alpha) working on the
// destination's bytes B, G, R, A; drawing loops are templates over these classes so the mode
// is chosen once per call (see Raster_WithCombineOp).
#pragma once

#include "raster/bitmap.h"

enum
{
  RASTER_MODE_COPY = 0,
  RASTER_MODE_ADD = 1,
  RASTER_MODE_DODGE = 2,
  RASTER_MODE_MUL = 3,
  RASTER_MODE_OVERLAY = 4,
  RASTER_MODE_HSVADJ = 5,
  RASTER_MODE_MASK = 0xFF,
  RASTER_MODE_CHANCOPY = 0xF0,          // low byte 0xF0 | src channel | dst channel << 2
  RASTER_MODE_FILTER = 0x100,           // bilinear filtering in scaled and rotated blits
  RASTER_MODE_SOURCEALPHA = 0x10000,    // weight scaled by the source pixel's alpha
};
// Channels are byte indexes: 0 = B, 1 = G, 2 = R, 3 = A.
inline int Raster_ChanCopyMode(int srcChan, int dstChan) { return 0xF0 | (srcChan & 3) | ((dstChan & 3) << 2); }
inline bool Raster_IsChanCopy(int mode) { return (mode & 0xF0) == 0xF0; }

// Integer weight of an opacity: 1.0 gives 256. Opacities outside 0 ... 1 (and NaN) are
// limited first, so no combine operation sees a weight that could overflow its arithmetic.
inline float Raster_LimitAlpha(float alpha) { return alpha > 1.0f ? 1.0f : (alpha > 0.0f ? alpha : 0.0f); }
inline int Raster_AlphaWeight(float alpha) { return (int)(Raster_LimitAlpha(alpha) * 256.0f); }

namespace raster_detail {
inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }
inline unsigned char Byte(int v) { return (unsigned char)(v & 255); }
void HSVAdjust(unsigned char* dest, int r, int g, int b, int a, int alpha);
inline int SrcAlphaWeight(int alpha, int a) { return alpha * (a + 1) / 256; }
}

// Whole-pixel fixed-weight copies (used for weights 64, 128, 192 and 256).
inline Raster_Pixel Raster_QuarterMix(Raster_Pixel s, Raster_Pixel d)
{ return ((s >> 2) & 0x3F3F3F3F) + ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F); }
inline Raster_Pixel Raster_HalfMix(Raster_Pixel s, Raster_Pixel d)
{ return ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F); }
inline Raster_Pixel Raster_ThreeQuarterMix(Raster_Pixel s, Raster_Pixel d)
{ return ((s >> 1) & 0x7F7F7F7F) + ((s >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F); }

struct _Raster_CombinePixelsClobberNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int)
  {
    d[0] = raster_detail::Byte(b); d[1] = raster_detail::Byte(g);
    d[2] = raster_detail::Byte(r); d[3] = raster_detail::Byte(a);
  }
};

struct _Raster_CombinePixelsCopyNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    const int ia = 256 - alpha;
    d[0] = raster_detail::Byte(b + (d[0] - b) * ia / 256);
    d[1] = raster_detail::Byte(g + (d[1] - g) * ia / 256);
    d[2] = raster_detail::Byte(r + (d[2] - r) * ia / 256);
    d[3] = raster_detail::Byte(a + (d[3] - a) * ia / 256);
  }
};

struct _Raster_CombinePixelsCopyClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    using raster_detail::Clamp255;
    const int ia = 256 - alpha;
    d[0] = (unsigned char)Clamp255(b + (d[0] - b) * ia / 256);
    d[1] = (unsigned char)Clamp255(g + (d[1] - g) * ia / 256);
    d[2] = (unsigned char)Clamp255(r + (d[2] - r) * ia / 256);
    d[3] = (unsigned char)Clamp255(a + (d[3] - a) * ia / 256);
  }
};

struct _Raster_CombinePixelsAdd
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    using raster_detail::Clamp255;
    d[0] = (unsigned char)Clamp255(d[0] + b * alpha / 256);
    d[1] = (unsigned char)Clamp255(d[1] + g * alpha / 256);
    d[2] = (unsigned char)Clamp255(d[2] + r * alpha / 256);
    d[3] = (unsigned char)Clamp255(d[3] + a * alpha / 256);
  }
};

struct _Raster_CombinePixelsColorDodge
{
  static inline int one(int d, int s, int alpha)
  {
    const int sa = s * alpha / 256;
    return raster_detail::Clamp255(sa < 255 ? d * 256 / (256 - sa) : d * 256);
  }
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    d[0] = (unsigned char)one(d[0], b, alpha);
    d[1] = (unsigned char)one(d[1], g, alpha);
    d[2] = (unsigned char)one(d[2], r, alpha);
    d[3] = (unsigned char)one(d[3], a, alpha);
  }
};

struct _Raster_CombinePixelsMulNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    const int k = (256 - alpha) * 256;
    d[0] = raster_detail::Byte(((b * alpha + k) * d[0]) >> 16);
    d[1] = raster_detail::Byte(((g * alpha + k) * d[1]) >> 16);
    d[2] = raster_detail::Byte(((r * alpha + k) * d[2]) >> 16);
    d[3] = raster_detail::Byte(((a * alpha + k) * d[3]) >> 16);
  }
};

struct _Raster_CombinePixelsMulClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    using raster_detail::Clamp255;
    const int k = (256 - alpha) * 256;
    d[0] = (unsigned char)Clamp255(((b * alpha + k) * d[0]) >> 16);
    d[1] = (unsigned char)Clamp255(((g * alpha + k) * d[1]) >> 16);
    d[2] = (unsigned char)Clamp255(((r * alpha + k) * d[2]) >> 16);
    d[3] = (unsigned char)Clamp255(((a * alpha + k) * d[3]) >> 16);
  }
};

struct _Raster_CombinePixelsOverlay
{
  static inline int one(int d, int s, int alpha)
  {
    const int k = (256 - alpha) * 128;
    const int sa = s * alpha;
    return raster_detail::Clamp255((((32768 - sa - k) * d / 256 + sa + k) * d) >> 15);
  }
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    d[0] = (unsigned char)one(d[0], b, alpha);
    d[1] = (unsigned char)one(d[1], g, alpha);
    d[2] = (unsigned char)one(d[2], r, alpha);
    d[3] = (unsigned char)one(d[3], a, alpha);
  }
};

struct _Raster_CombinePixelsHSVAdjust
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  { raster_detail::HSVAdjust(d, r, g, b, a, alpha); }
};

struct _Raster_CombinePixelsCopySourceAlphaNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    const int w = raster_detail::SrcAlphaWeight(alpha, a);
    const int ia = 256 - w;
    d[0] = raster_detail::Byte(b + (d[0] - b) * ia / 256);
    d[1] = raster_detail::Byte(g + (d[1] - g) * ia / 256);
    d[2] = raster_detail::Byte(r + (d[2] - r) * ia / 256);
    const int da = d[3] + w;
    d[3] = (unsigned char)(da > 255 ? 255 : (da < 0 ? 0 : da));
  }
};

struct _Raster_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int)
  {
    if (a == 0) return;
    if (a == 255)
    {
      d[0] = raster_detail::Byte(b); d[1] = raster_detail::Byte(g);
      d[2] = raster_detail::Byte(r); d[3] = 255;
      return;
    }
    const int ia = 255 - a;
    d[0] = raster_detail::Byte(b + (d[0] - b) * ia / 256);
    d[1] = raster_detail::Byte(g + (d[1] - g) * ia / 256);
    d[2] = raster_detail::Byte(r + (d[2] - r) * ia / 256);
    const int da = d[3] + a;
    d[3] = (unsigned char)(da > 255 ? 255 : (da < 0 ? 0 : da));
  }
};

struct _Raster_CombinePixelsAddSourceAlpha
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    _Raster_CombinePixelsAdd::doPix(d, r, g, b, a, raster_detail::SrcAlphaWeight(alpha, a));
  }
};

struct _Raster_CombinePixelsColorDodgeSourceAlpha
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  { _Raster_CombinePixelsColorDodge::doPix(d, r, g, b, a, raster_detail::SrcAlphaWeight(alpha, a)); }
};

struct _Raster_CombinePixelsMulSourceAlphaNoClamp
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  {
    if (a == 0) return;
    _Raster_CombinePixelsMulNoClamp::doPix(d, r, g, b, a, raster_detail::SrcAlphaWeight(alpha, a));
  }
};

struct _Raster_CombinePixelsOverlaySourceAlpha
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  { _Raster_CombinePixelsOverlay::doPix(d, r, g, b, a, raster_detail::SrcAlphaWeight(alpha, a)); }
};

struct _Raster_CombinePixelsHSVAdjustSourceAlpha
{
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int alpha)
  { raster_detail::HSVAdjust(d, r, g, b, a, raster_detail::SrcAlphaWeight(alpha, a)); }
};

// Calls fn(Op{}) with the operation that `mode` (low byte plus the source-alpha flag) selects at
// integer weight `alpha`, the way every drawing routine chooses it: copy uses the clobber
// operation at 256, source-alpha copy the one that ignores the weight at 256. `clamp` picks the
// clamping copy (at every weight, so out-of-range channels never wrap) and multiply. Returns false (and calls nothing) for modes that draw nothing,
// including channel copy, which only blits handle.
template <class Fn>
bool Raster_WithCombineOp(int mode, int alpha, bool clamp, Fn&& fn)
{
  const bool sa = (mode & RASTER_MODE_SOURCEALPHA) != 0;
  switch (mode & RASTER_MODE_MASK)
  {
    case RASTER_MODE_COPY:
      if (sa)
      {
        if (alpha == 256) fn(_Raster_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp{});
        else fn(_Raster_CombinePixelsCopySourceAlphaNoClamp{});
      }
      else if (clamp) fn(_Raster_CombinePixelsCopyClamp{});
      else if (alpha == 256) fn(_Raster_CombinePixelsClobberNoClamp{});
      else fn(_Raster_CombinePixelsCopyNoClamp{});
      return true;
    case RASTER_MODE_ADD:
      if (sa) fn(_Raster_CombinePixelsAddSourceAlpha{}); else fn(_Raster_CombinePixelsAdd{});
      return true;
    case RASTER_MODE_DODGE:
      if (sa) fn(_Raster_CombinePixelsColorDodgeSourceAlpha{}); else fn(_Raster_CombinePixelsColorDodge{});
      return true;
    case RASTER_MODE_MUL:
      if (sa) fn(_Raster_CombinePixelsMulSourceAlphaNoClamp{});
      else if (clamp) fn(_Raster_CombinePixelsMulClamp{});
      else fn(_Raster_CombinePixelsMulNoClamp{});
      return true;
    case RASTER_MODE_OVERLAY:
      if (sa) fn(_Raster_CombinePixelsOverlaySourceAlpha{}); else fn(_Raster_CombinePixelsOverlay{});
      return true;
    case RASTER_MODE_HSVADJ:
      if (sa) fn(_Raster_CombinePixelsHSVAdjustSourceAlpha{}); else fn(_Raster_CombinePixelsHSVAdjust{});
      return true;
    default:
      return false;
  }
}

// One pixel merged into another at opacity `alpha`; returns the new pixel (dest when alpha
// gives weight 0 or the mode draws nothing).
Raster_Pixel Raster_CombinePixels(Raster_Pixel dest, Raster_Pixel src, float alpha, int mode);
// The same on a pixel in memory from separate channels and an integer weight (256 = opaque).
void Raster_CombinePixels2(Raster_Pixel* dest, int r, int g, int b, int a, int alpha, int mode);
// As Raster_CombinePixels2, clamping copy and multiply results to 0 ... 255.
void Raster_CombinePixels2Clamp(Raster_Pixel* dest, int r, int g, int b, int a, int alpha, int mode);
