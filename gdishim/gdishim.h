#pragma once
// Text rasteriser shim: the small device-context/font/text subset the raster library draws
// through, over FreeType and fontconfig.
// Contract: any thread may create and delete contexts and fonts (the record pools and the
// font-name cache each have a process-wide mutex); one context is used by one thread at a
// time, its owner's. Handles belong to whoever created them and are released with
// Gdi_DeleteGfxContext / DeleteObject. Handle values 1, 2, 3 are the empty pen, brush, font.

#include <cstdint>

typedef struct HDC__* HDC;
typedef struct HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HFONT;

typedef struct tagRECT
{
  int32_t left, top, right, bottom;
} RECT;

// Font request record; the face name is cut at 31 bytes.
typedef struct tagLOGFONT
{
  int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
  uint8_t lfItalic, lfUnderline, lfStrikeOut, lfCharSet;
  uint8_t lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
  char lfFaceName[32];
} LOGFONT;

// All values in pixels.
typedef struct tagTEXTMETRIC
{
  int32_t tmHeight, tmAscent, tmDescent, tmInternalLeading, tmAveCharWidth;
} TEXTMETRIC;

enum
{
  DT_TOP = 0,
  DT_LEFT = 0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_SINGLELINE = 0x20,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
};

enum
{
  FW_NORMAL = 400,
  FW_BOLD = 700,
};

// Background modes (SetBkMode): only 1 fills; anything else draws text alone.
enum
{
  GDI_BKMODE_TRANSPARENT = 0,
  GDI_BKMODE_OPAQUE = 1,
};

// Font quality values that choose antialiasing; every other value keeps the default (on).
enum
{
  GDI_QUALITY_AA_OFF = 3,
  GDI_QUALITY_AA_ON = 4,
};

// Memory context of width x height 32-bit pixels (0x..RRGGBB, rows of width*4 bytes, row 0
// on top), zero-filled, start 64-byte aligned. refDC is ignored. Null on failure or bad size.
HDC Gdi_CreateMemContext(HDC refDC, int width, int height);
// Pixel buffer start owned by the context; null for a null or deleted context.
void* Gdi_GetCtxFrameBuffer(HDC ctx);
// Releases the buffer and recycles the record; the handle is dead afterwards.
void Gdi_DeleteGfxContext(HDC ctx);
// Memory contexts here are always one pixel per unit.
bool Gdi_IsRetinaDC(HDC ctx);
bool Gdi_IsRetinaHWND(void* window);

// Size = |height| (or |width| when height is 0) in pixels, 10 when below 2 or above 8192.
// The face gets " Bold" (weight >= 700) and " Italic" appended and is resolved through
// fontconfig; unknown faces fall back. Null only when no font can be loaded at all.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 uint32_t italic, uint32_t underline, uint32_t strikeOut, uint32_t charSet,
                 uint32_t outPrecision, uint32_t clipPrecision, uint32_t quality,
                 uint32_t pitchAndFamily, const char* faceName);
HFONT CreateFontIndirect(const LOGFONT* lf);
// "Family Style" of the face actually loaded (after fallback), e.g. "DejaVu Sans Bold", cut to
// fit; false for a stock, null or dead handle.
bool Gdi_GetFontName(HFONT font, char* out, int outSize);

// Puts a font into the context's font slot and returns the previous occupant, or the slot's
// type number (1, 2, 3) when it held nothing; passing 1, 2 or 3 empties that slot. Null for a
// dead context or an invalid object. While selected, an object outlives DeleteObject.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);
// Frees the object (deferred while a context still has it selected). Ignores 1, 2, 3, null
// and dead handles. Returns false for those.
bool DeleteObject(HGDIOBJ obj);

// Colours are 0xRRGGBB.
void SetTextColor(HDC ctx, int color);
int GetTextColor(HDC ctx);  // -1 for a null or deleted context
void SetBkColor(HDC ctx, int color);
void SetBkMode(HDC ctx, int mode);

// Fills the record (defaults 16, 12, 4, 3, 10 first); false for a null or deleted context.
bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Draws or (DT_CALCRECT) measures UTF-8 text in the selected font; returns the text height,
// 0 when nothing was drawn. length < 0 means up to the terminating zero. Malformed bytes read
// as util/utf8.h decodes them (U+FFFD); the text is cut at 4095 bytes.
int Gdi_DrawText(HDC ctx, const char* text, int length, RECT* r, int flags);

// Clip stack: push saves the clip, set intersects it with r, pop restores the last pushed.
void Gdi_PushClipRegion(HDC ctx);
void Gdi_SetClipRegion(HDC ctx, const RECT* r);
void Gdi_PopClipRegion(HDC ctx);
