// Context and object record pools, object selection and deletion.

#include "gdishim/fonts.h"
#include "gdishim/records.h"
#include "util/mutex.h"

#include <new>

namespace {

const int kMaxFreeContexts = 100;
const int kMaxFreeObjects = 200;

// Freed records kept for reuse, up to a limit; the pool mutex guards both lists.
template <class T, int kMax>
struct FreeList
{
  T* head = nullptr;
  int count = 0;

  // A recycled record, or a new one; null when memory runs out.
  T* Take(Util_Mutex& mutex)
  {
    {
      Util_MutexLock lock(mutex);
      if (T* rec = head)
      {
        head = rec->nextFree;
        --count;
        return rec;
      }
    }
    return new (std::nothrow) T;
  }

  // Pool mutex held. Once the pools close, nothing is kept any more.
  void GiveBackLocked(T* rec, bool closed)
  {
    if (!closed && count < kMax)
    {
      rec->nextFree = head;
      head = rec;
      ++count;
    }
    else
      delete rec;
  }

  // Pool mutex held.
  void DeleteKeptLocked()
  {
    while (T* rec = head)
    {
      head = rec->nextFree;
      delete rec;
    }
    count = 0;
  }
};

struct Pools
{
  Util_Mutex mutex;
  FreeList<HDC__, kMaxFreeContexts> contexts;
  FreeList<HGDIOBJ__, kMaxFreeObjects> objects;
  bool closed = false;
};

// Never destroyed: threads may still release records while the process
// exits. It lives in static storage rather than on the heap, so unloading
// the module that holds it leaks nothing.
Pools& GetPools()
{
  alignas(Pools) static unsigned char storage[sizeof(Pools)];
  static Pools* pools = new (storage) Pools;
  return *pools;
}

// At unload (or exit) the kept records are freed, and records given back
// later are freed at once: a module unloaded by its host leaves no memory
// behind, whichever static destructors run first.
struct PoolCloser
{
  ~PoolCloser()
  {
    Pools& p = GetPools();
    Util_MutexLock lock(p.mutex);
    p.closed = true;
    p.contexts.DeleteKeptLocked();
    p.objects.DeleteKeptLocked();
  }
} gPoolCloser;

bool ObjectLive(HGDIOBJ obj) { return obj && !Gdi_IsStockHandle(obj) && obj->magic == GDI_LIVE_MAGIC; }

// Pool mutex held. Releases the platform resources and recycles the record.
void FreeObjectLocked(Pools& p, HGDIOBJ obj)
{
  Gdi_Font* font = obj->font;
  obj->magic = 0;
  obj->font = nullptr;
  p.objects.GiveBackLocked(obj, p.closed);
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
  HDC ctx = p.contexts.Take(p.mutex);
  if (!ctx) return nullptr;
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
  ctx->clipStack.clear();
  p.contexts.GiveBackLocked(ctx, p.closed);
}

HGDIOBJ Gdi_AllocFontObject(Gdi_Font* font)
{
  Pools& p = GetPools();
  HGDIOBJ obj = p.objects.Take(p.mutex);
  if (!obj) return nullptr;
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
