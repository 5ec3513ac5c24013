// Face lookup through fontconfig with the process-wide name cache, font creation and metrics.

#include "gdishim/fonts.h"
#include "util/assocarray.h"
#include "util/utilcstring.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

struct FontFile
{
  char* path;
  int index;
  bool embolden;  // bold asked for but the file is not bold
  bool oblique;   // italic asked for but the file is upright
};

void DisposeFontFile(FontFile* f)
{
  if (!f) return;
  std::free(f->path);
  std::free(f);
}

struct NameCache
{
  Util_Mutex mutex;
  Util_StringKeyedArray<FontFile*> map{&DisposeFontFile};
};

// Never destroyed: the cache lives as long as the module.
NameCache& GetNameCache()
{
  static NameCache* cache = new NameCache;
  return *cache;
}

bool EndsWith(const char* s, size_t len, const char* suffix)
{
  const size_t n = std::strlen(suffix);
  return len >= n && std::memcmp(s + len - n, suffix, n) == 0;
}

// Faces other systems ship that are absent here: steer each to the generic family of the
// same kind, so a terminal face stays fixed-width.
const char* GenericFor(const char* family)
{
  static const char* const mono[] = {"Monaco", "Menlo", "Courier", "Courier New", "Andale Mono",
                                     "Consolas", "Lucida Console", "Lucida Sans Typewriter",
                                     "SF Mono", "Fixed", "Fixedsys", "Terminal"};
  static const char* const serif[] = {"Times", "Times New Roman", "Georgia", "Palatino",
                                      "Palatino Linotype", "Book Antiqua", "Garamond",
                                      "Baskerville", "Cambria", "New York"};
  for (const char* m : mono)
    if (strcasecmp(family, m) == 0) return "monospace";
  if (strcasestr(family, "mono")) return "monospace";
  for (const char* s : serif)
    if (strcasecmp(family, s) == 0) return "serif";
  return "sans-serif";
}

// Name cache mutex held.
FontFile* ResolveLocked(const char* faceText)
{
  char family[1024];
  Util_StrCopy(family, faceText, sizeof(family));
  size_t len = std::strlen(family);
  bool italic = false, bold = false;
  if (EndsWith(family, len, " Italic"))
  {
    italic = true;
    len -= 7;
    family[len] = 0;
  }
  if (EndsWith(family, len, " Bold"))
  {
    bold = true;
    len -= 5;
    family[len] = 0;
  }

  if (!FcInit()) return nullptr;
  FcPattern* pat = FcPatternCreate();
  if (!pat) return nullptr;
  if (family[0]) FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)family);
  FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)GenericFor(family));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);

  FcResult res = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!match) return nullptr;

  FontFile* out = nullptr;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
  {
    out = (FontFile*)std::calloc(1, sizeof(FontFile));
    if (out) out->path = strdup((const char*)file);
    if (out && !out->path)
    {
      std::free(out);
      out = nullptr;
    }
  }
  if (out)
  {
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcBool embolden = FcFalse;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    out->index = index;
    out->embolden = bold && (embolden || weight < FC_WEIGHT_DEMIBOLD);
    out->oblique = italic && slant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(match);
  return out;
}

} // namespace

bool Gdi_ResolveFace(const char* faceText, Gdi_FaceFile* out)
{
  NameCache& c = GetNameCache();
  Util_MutexLock lock(c.mutex);
  FontFile** found = c.map.GetPtr(faceText);
  FontFile* f;
  bool owned = false;
  if (found)
    f = *found;
  else
  {
    f = ResolveLocked(faceText);
    // A failed lookup is remembered too: the answer will not change while we run.
    owned = c.map.Insert(faceText, f) < 0;
  }
  bool ok = f && Util_StrCopy(out->path, f->path, sizeof(out->path)) < sizeof(out->path) - 1;
  if (ok)
  {
    out->index = f->index;
    out->embolden = f->embolden;
    out->oblique = f->oblique;
  }
  if (owned) DisposeFontFile(f);
  return ok;
}

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps a few bytes from its initialisation that it never frees; that is the
// library's, not ours, and must not fail sanitizer runs of everything that draws text.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
#endif

int Gdi_NameCacheSize()
{
  NameCache& c = GetNameCache();
  Util_MutexLock lock(c.mutex);
  return c.map.GetSize();
}

HFONT CreateFont(int height, int width, int, int orientation, int weight, uint32_t italic, uint32_t,
                 uint32_t, uint32_t, uint32_t, uint32_t, uint32_t quality, uint32_t, const char* faceName)
{
  long size = height != 0 ? std::labs((long)height) : std::labs((long)width);
  if (size < 2 || size > 8192) size = 10;

  char faceText[900 + 12];
  Util_StrCopy(faceText, faceName, 900);
  if (weight >= FW_BOLD) Util_StrAppend(faceText, " Bold", sizeof(faceText));
  if (italic) Util_StrAppend(faceText, " Italic", sizeof(faceText));

  const int aa = quality == GDI_QUALITY_AA_OFF ? 3 : (quality == GDI_QUALITY_AA_ON ? 4 : 0);
  Gdi_Font* font = Gdi_LoadFont(faceText, (int)size, aa);
  if (!font) return nullptr;
  font->angle = orientation / 10;
  HGDIOBJ obj = Gdi_AllocFontObject(font);
  if (!obj) Gdi_FreeFont(font);
  return obj;
}

HFONT CreateFontIndirect(const LOGFONT* lf)
{
  if (!lf) return nullptr;
  char face[sizeof(lf->lfFaceName) + 1];
  std::memcpy(face, lf->lfFaceName, sizeof(lf->lfFaceName));
  face[sizeof(lf->lfFaceName)] = 0;
  return CreateFont(lf->lfHeight, lf->lfWidth, 0, lf->lfOrientation, lf->lfWeight, lf->lfItalic, 0, 0, 0, 0,
                    0, lf->lfQuality, 0, face);
}

bool Gdi_GetFontName(HFONT font, char* out, int outSize)
{
  if (!font || Gdi_IsStockHandle(font) || font->magic != GDI_LIVE_MAGIC || font->type != GDI_OBJ_FONT ||
      !font->font || !out || outSize < 1)
    return false;
  FT_Face face = font->font->face;
  Util_StrCopy(out, face->family_name, (size_t)outSize);
  if (face->style_name)
  {
    Util_StrAppend(out, " ", (size_t)outSize);
    Util_StrAppend(out, face->style_name, (size_t)outSize);
  }
  return true;
}

bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm)
{
  if (!tm) return false;
  tm->tmHeight = 16;
  tm->tmAscent = 12;
  tm->tmDescent = 4;
  tm->tmInternalLeading = 3;
  tm->tmAveCharWidth = 10;
  if (!Gdi_ContextLive(ctx)) return false;
  Gdi_Font* font = Gdi_SelectedFont(ctx);
  if (!font) font = Gdi_DefaultFont();
  if (!font) return true;

  const int leading = (int)font->leading;
  const int ascent = (int)font->ascent;
  const int descent = (int)font->descent;
  int height = ascent + descent + leading;
  tm->tmAscent = ascent;
  tm->tmDescent = descent;
  tm->tmInternalLeading = leading;
  tm->tmAveCharWidth = height * 2 / 3;
  if (height != 0) ++height;
  tm->tmHeight = height;
  return true;
}

