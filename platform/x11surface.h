// The small windows the editor opens besides its panel (the text field, menus,
// message boxes, tooltips): a window of ours on the editor's connection with an
// off-screen bitmap drawn by the raster library and the text shim, put into
// the window with XPutImage.
// Threads: UI thread only. Ownership: the surface owns its window, GC and
// bitmap; the Display is the caller's and must outlive the surface.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "graphics/IGraphicsStructs.h"
#include "raster/bitmap.h"

class IGraphics;

class X11Surface
{
public:
  // A child of parent at (x, y) in parent's coordinates, or, with
  // overrideRedirect, a top-level window the window manager leaves alone
  // (menus, tooltips; x and y are then root coordinates). Not mapped yet.
  // Valid() is false when the window could not be made.
  X11Surface(Display* display, Window parent, int x, int y, int w, int h, bool overrideRedirect,
             long eventMask);
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  bool Valid() { return mWindow != 0 && mBitmap.getBits() != nullptr; }
  Window Id() const { return mWindow; }
  Display* GetDisplay() const { return mDisplay; }
  int Width() const { return mW; }
  int Height() const { return mH; }
  Raster_MemBitmap* Bitmap() { return &mBitmap; }
  void Map();
  // Moves and resizes the window and the bitmap (contents then undefined).
  bool MoveResize(int x, int y, int w, int h);

  // Drawing into the bitmap, clipped to it.
  void Fill(const IRECT& r, const IColor& color);
  void Frame(const IRECT& r, const IColor& color);
  // One line of text in r, by pTxt's alignment, vertically centred; false when
  // no font can be made. graphics supplies the process's font cache.
  bool Text(IGraphics* graphics, IText* pTxt, const char* str, const IRECT& r);
  // Width and height of one line of text; false when no font can be made.
  static bool Measure(IGraphics* graphics, IText* pTxt, const char* str, int* w, int* h);

  // Puts the bitmap into the window; errors (a window destroyed meanwhile)
  // are caught and give false.
  bool Put();

private:
  Display* mDisplay;
  Window mWindow = 0;
  GC mGC = nullptr;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  int mW, mH;
  Raster_MemBitmap mBitmap;
};

// Root coordinates of a point of window w (0, 0 when it cannot be told).
void X11_ToRoot(Display* display, Window w, int x, int y, int* rootX, int* rootY);
