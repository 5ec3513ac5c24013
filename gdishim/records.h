#pragma once
// Internal records of the shim and their pools. Not part of the public API.
// The pool functions take the process-wide pool mutex; context fields are touched only by the
// context's owner thread; an object's select count only under the pool mutex.

#include "gdishim/gdishim.h"

#include <vector>

struct Gdi_Font;

enum
{
  GDI_OBJ_PEN = 1,
  GDI_OBJ_BRUSH = 2,
  GDI_OBJ_FONT = 3,
  GDI_OBJ_IMAGE = 4,
};

struct HGDIOBJ__
{
  uint32_t magic;        // GDI_LIVE_MAGIC while alive, 0 once freed
  int type;
  int refCount;
  int selectCount;       // how many context slots hold it
  bool deletePending;    // DeleteObject came while it was selected
  Gdi_Font* font;        // owned, type font
  HGDIOBJ__* nextFree;
};

struct Gdi_Clip
{
  int left, top, right, bottom;
};

struct HDC__
{
  uint32_t magic;
  void* raw;             // owned allocation behind bits
  uint8_t* bits;
  int width, height;
  HGDIOBJ slots[3];      // pen, brush, font
  int textColor;
  int bkColor;
  int bkMode;
  Gdi_Clip clip;
  std::vector<Gdi_Clip> clipStack;
  int lostPushes;        // pushes that found no memory; their pops restore nothing
  HDC__* nextFree;
};

static const uint32_t GDI_LIVE_MAGIC = 0x47444931;

inline bool Gdi_IsStockHandle(HGDIOBJ obj) { return (uintptr_t)obj < 5; }
inline bool Gdi_ContextLive(HDC ctx) { return ctx && ctx->magic == GDI_LIVE_MAGIC; }

// A fresh context record (fields reset) or null; Gdi_FreeContext returns it to the pool.
HDC Gdi_AllocContext();
void Gdi_FreeContext(HDC ctx);
// A fresh object owning `font`, or null (the caller still owns font then).
HGDIOBJ Gdi_AllocFontObject(Gdi_Font* font);
// The font behind a live font handle selected in ctx, else null.
Gdi_Font* Gdi_SelectedFont(HDC ctx);
// Drops the context's holds on its selected objects (context teardown).
void Gdi_ReleaseSlots(HDC ctx);
