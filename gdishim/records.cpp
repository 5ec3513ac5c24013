// Context and object record pools, object selection and deletion.

#include "gdishim/fonts.h"
#include "gdishim/records.h"
#include "util/mutex.h"

#include <new>

namespace {

const int kMaxFreeContexts = 100;
const int kMaxFreeObjects = 200;

struct Pools
{
  Util_Mutex mutex;
  HDC__* freeContexts = nullptr;
  int numFreeContexts = 0;
  HGDIOBJ__* freeObjects = nullptr;
  int numFreeObjects = 0;
};

// Never destroyed: threads may still release records while the process exits.
Pools& GetPools()
{
  static Pools* pools = new Pools;
  return *pools;
}

bool ObjectLive(HGDIOBJ obj) { return obj && !Gdi_IsStockHandle(obj) && obj->magic == GDI_LIVE_MAGIC; }

// Pool mutex held. Releases the platform resources and recycles the record.
void FreeObjectLocked(Pools& p, HGDIOBJ obj)
{
  Gdi_Font* font = obj->font;
  obj->magic = 0;
  obj->font = nullptr;
  if (p.numFreeObjects < kMaxFreeObjects)
  {
    obj->nextFree = p.freeObjects;
    p.freeObjects = obj;
    ++p.numFreeObjects;
  }
  else
    delete obj;
  if (font) Gdi_FreeFont(font);
}

// Pool mutex held. A context slot lets go of obj.
void UnholdLocked(Pools& p, HGDIOBJ obj)
{
  if (!ObjectLive(obj)) return;
  if (obj->selectCount > 0) --obj->selectCount;
  if (obj->selectCount == 0 && obj->deletePending) FreeObjectLocked(p, obj);
}

} // namespace

HDC Gdi_AllocContext()
{
  Pools& p = GetPools();
  HDC ctx = nullptr;
  {
    Util_MutexLock lock(p.mutex);
    if (p.freeContexts)
    {
      ctx = p.freeContexts;
      p.freeContexts = ctx->nextFree;
      --p.numFreeContexts;
    }
  }
  if (!ctx)
  {
    ctx = new (std::nothrow) HDC__;
    if (!ctx) return nullptr;
  }
  ctx->raw = nullptr;
  ctx->bits = nullptr;
  ctx->width = ctx->height = 0;
  for (HGDIOBJ& s : ctx->slots) s = nullptr;
  ctx->textColor = 0;
  ctx->bkColor = 0xFFFFFF;
  ctx->bkMode = GDI_BKMODE_TRANSPARENT;
  ctx->clip = Gdi_Clip{0, 0, 0, 0};
  ctx->clipStack.clear();
  ctx->lostPushes = 0;
  ctx->nextFree = nullptr;
  ctx->magic = GDI_LIVE_MAGIC;
  return ctx;
}

void Gdi_FreeContext(HDC ctx)
{
  Pools& p = GetPools();
  Util_MutexLock lock(p.mutex);
  ctx->magic = 0;
  if (p.numFreeContexts < kMaxFreeContexts)
  {
    ctx->clipStack.clear();
    ctx->nextFree = p.freeContexts;
    p.freeContexts = ctx;
    ++p.numFreeContexts;
  }
  else
    delete ctx;
}

HGDIOBJ Gdi_AllocFontObject(Gdi_Font* font)
{
  Pools& p = GetPools();
  HGDIOBJ obj = nullptr;
  {
    Util_MutexLock lock(p.mutex);
    if (p.freeObjects)
    {
      obj = p.freeObjects;
      p.freeObjects = obj->nextFree;
      --p.numFreeObjects;
    }
  }
  if (!obj)
  {
    obj = new (std::nothrow) HGDIOBJ__;
    if (!obj) return nullptr;
  }
  obj->type = GDI_OBJ_FONT;
  obj->refCount = 0;
  obj->selectCount = 0;
  obj->deletePending = false;
  obj->font = font;
  obj->nextFree = nullptr;
  obj->magic = GDI_LIVE_MAGIC;
  return obj;
}

Gdi_Font* Gdi_SelectedFont(HDC ctx)
{
  HGDIOBJ obj = ctx->slots[GDI_OBJ_FONT - 1];
  // The slot's hold keeps the record alive, so no lock is needed to read it.
  return ObjectLive(obj) && obj->type == GDI_OBJ_FONT ? obj->font : nullptr;
}

void Gdi_ReleaseSlots(HDC ctx)
{
  Pools& p = GetPools();
  Util_MutexLock lock(p.mutex);
  for (HGDIOBJ& s : ctx->slots)
  {
    UnholdLocked(p, s);
    s = nullptr;
  }
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj)
{
  if (!Gdi_ContextLive(ctx) || !obj) return nullptr;
  Pools& p = GetPools();
  Util_MutexLock lock(p.mutex);

  int type;
  if (Gdi_IsStockHandle(obj))
  {
    type = (int)(uintptr_t)obj;
    if (type < GDI_OBJ_PEN || type > GDI_OBJ_FONT) return nullptr;
  }
  else
  {
    if (!ObjectLive(obj) || obj->deletePending || obj->type < GDI_OBJ_PEN || obj->type > GDI_OBJ_FONT)
      return nullptr;
    type = obj->type;
  }

  HGDIOBJ& slot = ctx->slots[type - 1];
  HGDIOBJ prev = slot;
  if (prev == obj) return obj;
  const bool prevValid = ObjectLive(prev) && prev->type == type;
  // The previous occupant must be reported before a deferred delete can free it.
  HGDIOBJ result = prevValid ? prev : (HGDIOBJ)(uintptr_t)type;
  UnholdLocked(p, prev);
  if (Gdi_IsStockHandle(obj))
    slot = nullptr;
  else
  {
    slot = obj;
    ++obj->selectCount;
  }
  return result;
}

bool DeleteObject(HGDIOBJ obj)
{
  if (!obj || Gdi_IsStockHandle(obj)) return false;
  Pools& p = GetPools();
  Util_MutexLock lock(p.mutex);
  if (!ObjectLive(obj) || obj->deletePending) return false;
  if (obj->refCount > 0)
  {
    --obj->refCount;
    return true;
  }
  if (obj->selectCount > 0)
  {
    obj->deletePending = true;
    return true;
  }
  FreeObjectLocked(p, obj);
  return true;
}
