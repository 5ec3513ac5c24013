// Tooltips over the editor's window: the areas registered by UpdateTooltips;
// after the pointer rests in one for a short delay, the text of the control
// under it (the core's mouse-over control) appears in a small window beside
// the pointer, and goes at the next motion out of the area, press, key or
// leaving. UI thread only; owned by the editor's X11Window, on its connection.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include <X11/Xlib.h>

#include "graphics/IGraphicsStructs.h"

class IGraphics;
class X11Surface;

class X11Tooltip
{
public:
  // How long the pointer rests before the tip shows.
  static constexpr int kDelayMs = 600;

  X11Tooltip(Display* display, Window editor, IGraphics* graphics);
  ~X11Tooltip();
  X11Tooltip(const X11Tooltip&) = delete;
  X11Tooltip& operator=(const X11Tooltip&) = delete;

  // The areas (editor coordinates); hides a tip that shows.
  void SetAreas(std::vector<IRECT> areas);
  const std::vector<IRECT>& Areas() const { return mAreas; }
  // The pointer moved to (x, y) in the editor.
  void OnMotion(int x, int y);
  // A press or a key: the tip goes until the pointer moves to another area.
  void Hide();
  // The pointer left the editor.
  void OnLeave();
  // The timer: shows the tip once the pointer has rested long enough.
  void OnTick();
  // Whether window is the tip's (its exposures are repainted).
  bool Owns(Window window) const;
  void OnExpose();
  // The tip's window while it shows, else 0.
  Window Shown() const;

private:
  int AreaAt(int x, int y) const;
  void Show();

  Display* mDisplay;
  Window mEditor;
  IGraphics* mGraphics;
  std::vector<IRECT> mAreas;
  int mArea = -1;          // area under the pointer, -1 none
  bool mWaiting = false;   // resting in mArea, not shown yet
  int mX = 0, mY = 0;
  std::chrono::steady_clock::time_point mRestSince;
  std::unique_ptr<X11Surface> mTip;
};
