#include "graphics/FontStorage.h"

#include <cstring>

#include "graphics/IGraphicsStructs.h"
#include "raster/cachedfont.h"

FontStorage s_fontCache;

FontStorage::~FontStorage()
{
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i) delete mFonts.Get(i)->mFont;
  mFonts.Empty(true);
}

// The face as stored: at most the text's field, always terminated.
static void CopyFace(char* out, const IText* pTxt)
{
  std::memset(out, 0, 36);
  std::memcpy(out, pTxt->mFont, strnlen(pTxt->mFont, kITextFontLen));
}

Raster_IFont* FontStorage::Find(const IText* pTxt)
{
  if (!pTxt) return nullptr;
  char face[36];
  CopyFace(face, pTxt);
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i)
  {
    const FontKey* key = mFonts.Get(i);
    if (key->mSize == pTxt->mSize && key->mOrientation == pTxt->mOrientation &&
        key->mStyle == (int)pTxt->mStyle && !std::strcmp(key->mFace, face))
      return key->mFont;
  }
  return nullptr;
}

bool FontStorage::Add(Raster_IFont* font, const IText* pTxt)
{
  if (!font || !pTxt) return false;
  FontKey* key = new FontKey{pTxt->mSize, pTxt->mOrientation, (int)pTxt->mStyle, {}, font};
  CopyFace(key->mFace, pTxt);
  Util_MutexLock lock(mMutex);
  if (mFonts.Add(key)) return true;
  delete key;
  return false;
}

int FontStorage::NEntries()
{
  Util_MutexLock lock(mMutex);
  return mFonts.GetSize();
}
