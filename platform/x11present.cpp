// Presentation: the core's drawing bitmap goes to the window as it is (its
// pixels are X's 32-bit little-endian TrueColor layout). Through a shared
// memory image when the server offers MIT-SHM and attaching works (a local
// server), with plain XPutImage otherwise.
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

#include "platform/IGraphicsLinux.h"
#include "platform/x11errors.h"
#include "platform/x11window.h"
#include "raster/bitmap.h"

bool X11Window::sAllowSharedMemory = true;

bool X11Window::InitPresentation()
{
  if (!sAllowSharedMemory || !XShmQueryExtension(mDisplay)) return true;
  const int w = mGraphics->Width(), h = mGraphics->Height();
  XImage* image = XShmCreateImage(mDisplay, mVisual, (unsigned)mDepthBits, ZPixmap, nullptr, &mShm, (unsigned)w,
                                  (unsigned)h);
  if (!image) return true;
  if (image->bits_per_pixel != 32)
  {
    XDestroyImage(image);
    return true;
  }
  mShm.shmid = shmget(IPC_PRIVATE, (size_t)image->bytes_per_line * (size_t)h, IPC_CREAT | 0600);
  if (mShm.shmid < 0)
  {
    XDestroyImage(image);
    return true;
  }
  mShm.shmaddr = image->data = (char*)shmat(mShm.shmid, nullptr, 0);
  mShm.readOnly = False;
  bool attached = false;
  if (mShm.shmaddr != (char*)-1)
  {
    X11ErrorTrap trap(mDisplay);
    XShmAttach(mDisplay, &mShm);
    attached = !trap.Failed();
  }
  // Marked for removal at once: it goes away with the last detach, even if
  // the host dies before we close.
  shmctl(mShm.shmid, IPC_RMID, nullptr);
  if (!attached)
  {
    if (mShm.shmaddr != (char*)-1) shmdt(mShm.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    mShm = XShmSegmentInfo{};
    return true;
  }
  mShmImage = image;
  return true;
}

void X11Window::FreePresentation()
{
  if (!mShmImage) return;
  if (!mLost)
  {
    XShmDetach(mDisplay, &mShm);
    XSync(mDisplay, False);
  }
  shmdt(mShm.shmaddr);
  mShmImage->data = nullptr;
  XDestroyImage(mShmImage);
  mShmImage = nullptr;
  mShm = XShmSegmentInfo{};
}

bool X11Window::Present(const IRECT& region)
{
  if (!mGraphics || mGone || !mGC) return false;
  Raster_IBitmap* bm = mGraphics->GetDrawBitmap();
  if (!bm || !bm->getBits()) return false;
  const int bw = std::min(bm->getWidth(), mGraphics->Width());
  const int bh = std::min(bm->getHeight(), mGraphics->Height());
  const int l = std::max(region.L, 0), t = std::max(region.T, 0);
  const int r = std::min(region.R, bw), b = std::min(region.B, bh);
  if (r <= l || b <= t) return false;
  return PutRegion(l, t, r - l, b - t);
}

bool X11Window::PutRegion(int x, int y, int w, int h)
{
  Raster_IBitmap* bm = mGraphics->GetDrawBitmap();
  const int span = bm->getRowSpan();
  Raster_Pixel* bits = bm->getBits();
  // The host may destroy its window at any moment; until its DestroyNotify
  // arrives a put can fail, and that must not reach the default handler.
  X11ErrorTrap trap(mDisplay);
  if (mShmImage)
  {
    for (int row = y; row < y + h; ++row)
      memcpy(mShmImage->data + (size_t)row * (size_t)mShmImage->bytes_per_line + (size_t)x * 4,
             bits + (size_t)row * (size_t)span + (size_t)x, (size_t)w * 4);
    XShmPutImage(mDisplay, mWindow, mGC, mShmImage, x, y, x, y, (unsigned)w, (unsigned)h, False);
  }
  else
  {
    // Wraps the bitmap's own memory; nothing is copied on our side.
    XImage* image = XCreateImage(mDisplay, mVisual, (unsigned)mDepthBits, ZPixmap, 0, (char*)bits,
                                 (unsigned)bm->getWidth(), (unsigned)bm->getHeight(), 32, span * 4);
    if (!image) return false;
    image->byte_order = LSBFirst;
    const bool ok = image->bits_per_pixel == 32;
    if (ok) XPutImage(mDisplay, mWindow, mGC, image, x, y, x, y, (unsigned)w, (unsigned)h);
    image->data = nullptr;
    XDestroyImage(image);
    if (!ok) return false;
  }
  // Failed() syncs: the server has read the pixels before the bitmap (or the
  // shared image) is written again, and a reader on another connection sees them.
  if (trap.Failed())
  {
    mGone = true;
    return false;
  }
  return true;
}
