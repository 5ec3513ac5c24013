// Memory drawing contexts, colours and the clip stack.

#include "gdishim/records.h"
#include "util/rectclip.h"

#include <cstdlib>
#include <cstring>

HDC Gdi_CreateMemContext(HDC, int width, int height)
{
  if (width < 1 || height < 1) return nullptr;
  const uint64_t bytes = (uint64_t)width * 4u * (uint64_t)height;
  // Rows are addressed with int arithmetic elsewhere; refuse what would not fit.
  if (bytes > 0x7FFFFFFFull - 63) return nullptr;

  void* raw = std::calloc(1, (size_t)bytes + 63);
  if (!raw) return nullptr;
  HDC ctx = Gdi_AllocContext();
  if (!ctx)
  {
    std::free(raw);
    return nullptr;
  }
  ctx->raw = raw;
  ctx->bits = (uint8_t*)(((uintptr_t)raw + 63) & ~(uintptr_t)63);
  ctx->width = width;
  ctx->height = height;
  ctx->clip = Gdi_Clip{0, 0, width, height};
  return ctx;
}

void* Gdi_GetCtxFrameBuffer(HDC ctx)
{
  return Gdi_ContextLive(ctx) ? ctx->bits : nullptr;
}

void Gdi_DeleteGfxContext(HDC ctx)
{
  if (!Gdi_ContextLive(ctx)) return;
  Gdi_ReleaseSlots(ctx);
  std::free(ctx->raw);
  ctx->raw = nullptr;
  ctx->bits = nullptr;
  Gdi_FreeContext(ctx);
}

bool Gdi_IsRetinaDC(HDC) { return false; }
bool Gdi_IsRetinaHWND(void*) { return false; }

void SetTextColor(HDC ctx, int color)
{
  if (Gdi_ContextLive(ctx)) ctx->textColor = color & 0xFFFFFF;
}

int GetTextColor(HDC ctx)
{
  return Gdi_ContextLive(ctx) ? ctx->textColor : -1;
}

void SetBkColor(HDC ctx, int color)
{
  if (Gdi_ContextLive(ctx)) ctx->bkColor = color & 0xFFFFFF;
}

void SetBkMode(HDC ctx, int mode)
{
  if (Gdi_ContextLive(ctx)) ctx->bkMode = mode;
}

void Gdi_PushClipRegion(HDC ctx)
{
  if (!Gdi_ContextLive(ctx)) return;
  try
  {
    ctx->clipStack.push_back(ctx->clip);
  }
  catch (...)
  {
    ++ctx->lostPushes;
  }
}

void Gdi_SetClipRegion(HDC ctx, const RECT* r)
{
  if (!Gdi_ContextLive(ctx) || !r) return;
  Util_IntersectRect(ctx->clip, *r);
}

void Gdi_PopClipRegion(HDC ctx)
{
  if (!Gdi_ContextLive(ctx)) return;
  if (ctx->lostPushes > 0)
  {
    --ctx->lostPushes;
    return;
  }
  if (ctx->clipStack.empty()) return;
  ctx->clip = ctx->clipStack.back();
  ctx->clipStack.pop_back();
}
