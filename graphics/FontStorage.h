// The process-wide font cache: one cached raster font per size, orientation, style and face,
// shared by every editor and freed only when the module is unloaded. Colour, alignment and
// quality are not part of the key: the quality of the first style drawn wins.
// Contract: any thread; every operation holds the cache's mutex. The cache owns its fonts;
// a found font stays valid until unload (nothing is evicted). Drawing with a font is not
// locked and happens on the UI thread.
#pragma once

#include "gdishim/gdishim.h"
#include "util/mutex.h"
#include "util/ptrlist.h"

class Raster_IFont;
struct IText;

// How CacheFont asks the platform for a font. Tests swap it to count or refuse requests;
// changing it is not thread-safe and is done only while no font is being made.
struct IGraphicsFontAlloc
{
  static inline HFONT (*Create)(const LOGFONT* lf) = [](const LOGFONT* lf) { return CreateFontIndirect(lf); };
};

class FontStorage
{
public:
  struct FontKey
  {
    int mSize;
    int mOrientation;
    int mStyle;
    char mFace[36];
    Raster_IFont* mFont;  // owned
  };

  FontStorage() = default;
  // Module unload: deletes every font and entry.
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The first font with the text's size, orientation, style and exactly its face, or null.
  Raster_IFont* Find(const IText* pTxt);
  // Takes ownership under the text's key; false (font still the caller's) when it cannot be stored.
  bool Add(Raster_IFont* font, const IText* pTxt);
  int NEntries();

private:
  Util_Mutex mMutex;
  Util_PtrList<FontKey> mFonts;
};

extern FontStorage s_fontCache;
