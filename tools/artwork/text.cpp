#include "tools/artwork/text.h"

namespace artwork {

namespace {

// Bytes of the UTF-8 sequence that starts with lead byte c.
int SequenceLength(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

}  // namespace

Lettering::Lettering(int px, bool bold, Raster_Pixel color) {
  mFont.SetFromHFont(CreateFont(px, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0,
                                "DejaVu Sans"),
                     RASTER_FONT_OWNS_HFONT);
  mFont.SetTextColor(color);
  mFont.SetCombineMode(RASTER_MODE_COPY, 1.0f);
}

int Lettering::LetterWidth(const char* letter, int bytes) {
  RECT r{0, 0, 0, 0};
  mFont.DrawText(nullptr, letter, bytes, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return r.right - r.left;
}

int Lettering::Width(const char* text, int tracking) {
  if (!tracking) {
    RECT r{0, 0, 0, 0};
    mFont.DrawText(nullptr, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.right - r.left;
  }
  int w = 0, letters = 0;
  for (const char* p = text; *p;) {
    const int n = SequenceLength((unsigned char)*p);
    w += LetterWidth(p, n);
    ++letters;
    for (int i = 0; i < n && *p; ++i) ++p;
  }
  return letters ? w + tracking * (letters - 1) : 0;
}

void Lettering::Left(Raster_IBitmap* bm, const char* text, int x, int top, int tracking) {
  const int h = Height();
  if (!tracking) {
    RECT r{x, top, x + 4096, top + h};
    mFont.DrawText(bm, text, -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    return;
  }
  // Letter by letter, so the caps labels can breathe.
  for (const char* p = text; *p;) {
    const int n = SequenceLength((unsigned char)*p);
    RECT r{x, top, x + 4096, top + h};
    mFont.DrawText(bm, p, n, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    x += LetterWidth(p, n) + tracking;
    for (int i = 0; i < n && *p; ++i) ++p;
  }
}

void Lettering::Centred(Raster_IBitmap* bm, const char* text, int cx, int top, int tracking) {
  Left(bm, text, cx - Width(text, tracking) / 2, top, tracking);
}

void Lettering::Right(Raster_IBitmap* bm, const char* text, int x, int top, int tracking) {
  Left(bm, text, x - Width(text, tracking), top, tracking);
}

}  // namespace artwork
