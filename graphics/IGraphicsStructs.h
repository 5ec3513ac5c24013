// Plain records shared by the whole graphics framework: rectangles, colours, blends,
// mouse modifiers, text styles and bitmap views.
// Contract: value types, copied freely, no locks; any thread may use its own copies.
// IText::mCached and IBitmap::mData point into the process-wide caches and are not owned.
#pragma once

#include <cstdint>

class Raster_IBitmap;
class Raster_IFont;

// Integer rectangle; right and bottom are exclusive. Only (0, 0, 0, 0) is empty.
struct IRECT
{
  int L = 0, T = 0, R = 0, B = 0;

  constexpr IRECT() = default;
  constexpr IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  int W() const { return R - L; }
  int H() const { return B - T; }
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // Touching edges count: the right and bottom tests are inclusive.
  bool Intersects(const IRECT& o) const
  {
    return !Empty() && !o.Empty() && L < o.R && R >= o.L && T < o.B && B >= o.T;
  }
  IRECT Intersect(const IRECT& o) const
  {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }
  IRECT Union(const IRECT& o) const
  {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }
};

// Colour with channels 0 ... 255, alpha first.
struct IColor
{
  int A = 0, R = 0, G = 0, B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  // The raster pixel 0xAARRGGBB; alpha is shifted unmasked, the others use their low byte.
  uint32_t ToPixel() const
  {
    return ((uint32_t)A << 24) | (((uint32_t)R & 255) << 16) | (((uint32_t)G & 255) << 8) |
           ((uint32_t)B & 255);
  }
  static IColor FromPixel(uint32_t p)
  {
    return IColor((int)(p >> 24), (int)((p >> 16) & 255), (int)((p >> 8) & 255), (int)(p & 255));
  }

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// How a primitive merges into the drawing bitmap, and at what opacity.
struct IChannelBlend
{
  enum EBlendMethod : int32_t
  {
    kBlendDefault = 0,  // copy honouring source alpha
    kBlendCopy = 1,     // plain copy, source alpha ignored
    kBlendAdd = 2,
    kBlendDodge = 3
  };

  EBlendMethod mMethod = kBlendDefault;
  float mWeight = 1.0f;

  constexpr IChannelBlend(EBlendMethod method = kBlendDefault, float weight = 1.0f)
  : mMethod(method), mWeight(weight) {}
};

// Raster combine mode of a blend; null and unknown methods act as kBlendDefault.
int IChannelBlend_RasterMode(const IChannelBlend* blend);
// Opacity of a blend; 1.0 for null.
inline float IChannelBlend_Weight(const IChannelBlend* blend) { return blend ? blend->mWeight : 1.0f; }

// Mouse buttons and modifier keys of one event: left, right (or context click), Shift,
// Control, Alt/Option.
struct IMouseMod
{
  bool L = false, R = false, S = false, C = false, A = false;

  constexpr IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
  : L(l), R(r), S(s), C(c), A(a) {}
};

// Face name room, terminator included.
constexpr int kITextFontLen = 32;

// Text style; owned by value inside controls.
struct IText
{
  enum EStyle : int { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign : int { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
  enum EQuality : int
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[kITextFontLen];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees
  EQuality mQuality;
  Raster_IFont* mCached = nullptr;  // found by the font cache on first use; not owned

  // A null font gives "Monaco"; a null colour gives DEFAULT_TEXT_COLOR; a face longer than
  // 31 bytes is cut.
  explicit IText(int size = 10, const IColor* color = nullptr, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor* textEntryBGColor = nullptr,
                 const IColor* textEntryFGColor = nullptr);
  explicit IText(const IColor* color);

  // Also forgets the cached font, which belongs to the previous face.
  void SetFont(const char* font);
};

// View on a raster bitmap held by the bitmap cache; copying it is free. mData may be null
// (an image that could not be loaded): then W = H = 0 and every primitive draws nothing.
struct IBitmap
{
  Raster_IBitmap* mData = nullptr;  // not owned
  int W = 0, H = 0;
  int N = 1;                        // frames in the strip, at least 1
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(Raster_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
  : mData(data), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(framesAreHorizontal) {}

  int NFrames() const { return N < 1 ? 1 : N; }
  // One frame's size: W / N wide for horizontal strips, H / N tall for vertical ones.
  int FrameWidth() const { return mFramesAreHorizontal ? W / NFrames() : W; }
  int FrameHeight() const { return mFramesAreHorizontal ? H : H / NFrames(); }
};
