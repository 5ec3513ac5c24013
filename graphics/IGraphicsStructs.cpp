#include "graphics/IGraphicsStructs.h"

#include <cstring>

#include "raster/combine.h"

int IChannelBlend_RasterMode(const IChannelBlend* blend)
{
  if (!blend) return RASTER_MODE_SOURCEALPHA;
  switch (blend->mMethod)
  {
    case IChannelBlend::kBlendCopy: return RASTER_MODE_COPY;
    case IChannelBlend::kBlendAdd: return RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA;
    case IChannelBlend::kBlendDodge: return RASTER_MODE_DODGE | RASTER_MODE_SOURCEALPHA;
    default: return RASTER_MODE_COPY | RASTER_MODE_SOURCEALPHA;
  }
}

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align, int orientation,
             EQuality quality, const IColor* textEntryBGColor, const IColor* textEntryFGColor)
: mSize(size),
  mColor(color ? *color : DEFAULT_TEXT_COLOR),
  mTextEntryBGColor(textEntryBGColor ? *textEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
  mTextEntryFGColor(textEntryFGColor ? *textEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
  mStyle(style),
  mAlign(align),
  mOrientation(orientation),
  mQuality(quality)
{
  SetFont(font);
}

IText::IText(const IColor* color) : IText(10, color) {}

void IText::SetFont(const char* font)
{
  if (!font) font = "Monaco";
  std::strncpy(mFont, font, kITextFontLen - 1);
  mFont[kITextFontLen - 1] = '\0';
  mCached = nullptr;  // the cached font belongs to the old face
}
