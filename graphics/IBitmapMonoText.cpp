#include "graphics/IBitmapMonoText.h"

#include <cstring>

#include "graphics/IGraphics.h"

void DrawBitmapedText(IGraphics* pGraphics, IBitmap* pGlyphs, IRECT* pR, IText* pText, IChannelBlend* pBlend,
                      const char* str, bool vCentre, bool multiLine, int charWidth, int charHeight,
                      int charOffset)
{
  if (!pGraphics || !pGlyphs || !pR || !str || !str[0] || charWidth < 1) return;
  const IRECT& r = *pR;
  const size_t len = std::strlen(str);
  // Widths in 64 bits: a long text times its glyph width must not wrap.
  const long long textWidth = (long long)len * charWidth;
  const int width = r.W();

  const int y0 = vCentre ? r.T + (r.B - r.T - charHeight) / 2 : r.T;
  const IText::EAlign align = pText ? pText->mAlign : IText::kAlignCenter;
  long long x0 = r.L;
  if (align == IText::kAlignFar)
    x0 = r.R - textWidth;
  else if (align == IText::kAlignCenter)
    x0 = r.L + ((long long)width - textWidth) / 2;

  long long charsPerLine = width / charWidth;
  long long lines = 1;
  if (multiLine && textWidth <= width)
    charsPerLine = (long long)len;
  else if (multiLine && charsPerLine > 0)
    lines = textWidth / width + 1;
  if (charsPerLine <= 0) return;

  const char* p = str;
  for (long long n = 0; n < lines; ++n)
  {
    long long x = x0;
    const int top = y0 + (int)n * charHeight;
    for (long long i = 0; i < charsPerLine; ++i, ++p)
    {
      if (!*p) return;
      IRECT cell((int)x, top, (int)(x + charWidth), top + charHeight);
      // Read as signed: control bytes and bytes from 128 up fall below frame 1 and show the
      // first frame. A code past the strip's end reads outside the image, which the blit clips.
      pGraphics->DrawBitmap(pGlyphs, &cell, (int)(signed char)*p - 31, pBlend);
      x += charWidth + charOffset;
    }
  }
}

IBitmapTextControl::IBitmapTextControl(IPluginBase* plug, IRECT rect, IBitmap* pGlyphs, const char* str,
                                       const IText* pText, int charWidth, int charHeight, int charOffset,
                                       bool multiLine, bool vCentre)
: IControl(plug, rect),
  mStr(str),
  mCharWidth(charWidth),
  mCharHeight(charHeight),
  mCharOffset(charOffset),
  mTextBitmap(pGlyphs ? *pGlyphs : IBitmap()),
  mMultiLine(multiLine),
  mVCentre(vCentre)
{
  SetText(pText);
}

bool IBitmapTextControl::Draw(IGraphics* pGraphics)
{
  if (mStr.GetLength())
    DrawBitmapedText(pGraphics, &mTextBitmap, &mRECT, &mText, &mBlend, mStr.Get(), mVCentre, mMultiLine, mCharWidth,
                     mCharHeight, mCharOffset);
  return true;
}

void IBitmapTextControl::SetTextFromPlug(char* str)
{
  const char* text = str ? str : "";
  if (std::strcmp(mStr.Get(), text) == 0) return;
  SetDirty(false);
  mStr.Set(text);
}
