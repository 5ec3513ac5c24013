#include "platform/x11popupmenu.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"
#include "platform/x11errors.h"
#include "platform/x11modal.h"
#include "platform/x11surface.h"
#include "raster/raster.h"

namespace
{
using Clock = std::chrono::steady_clock;

const long kMenuEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
const unsigned kGrabPointerMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
// A menu that refers to itself would open levels without end.
const size_t kMaxLevels = 16;
const int kGrabWaitMs = 1000;

const IColor kBackground(255, 246, 246, 246);
const IColor kFrame(255, 120, 120, 120);
const IColor kHighlight(255, 52, 101, 196);
const IColor kTextColor(255, 20, 20, 20);
const IColor kHighlightText(255, 255, 255, 255);
const IColor kDisabledText(255, 160, 160, 160);
const IColor kSeparator(255, 196, 196, 196);
} // namespace

struct X11PopupMenu::Level
{
  Level(IPopupMenu* m, const MenuMetrics& metrics, const MenuLayout::MeasureFn& measure)
    : menu(m), layout(*m, metrics, measure)
  {
  }
  IPopupMenu* menu;
  MenuLayout layout;
  std::unique_ptr<X11Surface> surface;
  int x = 0, y = 0;    // root position
  int highlight = -1;  // row, -1 for none
};

X11PopupMenu::X11PopupMenu(Display* display, X11ModalHost* host, IGraphics* graphics)
  : mDisplay(display), mHost(host), mGraphics(graphics),
    mText(14, &kTextColor, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear)
{
  int w = 0, h = 0;
  if (X11Surface::Measure(mGraphics, &mText, "Ag", &w, &h)) mMetrics.rowH = std::max(mMetrics.rowH, h + 8);
}

X11PopupMenu::~X11PopupMenu()
{
  Ungrab();
  CloseLevelsAbove(0);
  mLevels.clear();
}

IPopupMenu* X11PopupMenu::Run(IPopupMenu* menu, const IRECT& areaRoot)
{
  if (!mDisplay || !mHost || !menu || !mLevels.empty()) return nullptr;
  if (!OpenLevel(menu, 0, 0, -1)) return nullptr;
  Level& top = *mLevels[0];
  const int screen = DefaultScreen(mDisplay);
  int x = 0, y = 0;
  MenuPlaceBelow(areaRoot, top.layout.Width(), top.layout.Height(), DisplayWidth(mDisplay, screen),
                 DisplayHeight(mDisplay, screen), &x, &y);
  top.x = x;
  top.y = y;
  top.surface->MoveResize(x, y, top.layout.Width(), top.layout.Height());
  Paint(top);
  top.surface->Map();
  top.surface->Put();
  if (!Grab())
  {
    Ungrab();
    mLevels.clear();
    return nullptr;
  }

  // The menu takes every pointer and key event of the connection (with
  // owner_events the server may report them on the editor's window too).
  X11_RunModal(mDisplay, mHost,
               [&](XEvent& event) {
                 Dispatch(event);
                 return true;
               },
               [&] { return mDone; });
  IPopupMenu* result = mDone ? mResult : nullptr;
  Ungrab();
  CloseLevelsAbove(0);
  mLevels.clear();
  XFlush(mDisplay);
  return result;
}

bool X11PopupMenu::OpenLevel(IPopupMenu* menu, int x, int y, int highlight)
{
  if (mLevels.size() >= kMaxLevels) return false;
  IGraphics* graphics = mGraphics;
  IText* text = &mText;
  const MenuLayout::MeasureFn measure = [graphics, text](const std::string& s) {
    int w = 0, h = 0;
    return X11Surface::Measure(graphics, text, s.c_str(), &w, &h) ? w : 0;
  };
  std::unique_ptr<Level> level(new Level(menu, mMetrics, measure));
  level->x = x;
  level->y = y;
  level->highlight = highlight;
  level->surface.reset(new X11Surface(mDisplay, DefaultRootWindow(mDisplay), x, y, level->layout.Width(),
                                      level->layout.Height(), true, kMenuEventMask));
  if (!level->surface->Valid()) return false;
  mLevels.push_back(std::move(level));
  return true;
}

bool X11PopupMenu::OpenSubmenu(size_t parent, int highlight)
{
  CloseLevelsAbove(parent);
  Level& p = *mLevels[parent];
  if (p.highlight < 0) return false;
  const MenuRow& row = p.layout.Row(p.highlight);
  if (row.kind != MenuRow::kSubmenu || !row.submenu) return false;
  if (!OpenLevel(row.submenu, 0, 0, -1)) return false;
  Level& sub = *mLevels.back();
  if (highlight >= 0) sub.highlight = sub.layout.Next(-1, 1);
  const int screen = DefaultScreen(mDisplay);
  const IRECT rowRoot(p.x + row.rect.L, p.y + row.rect.T, p.x + row.rect.R, p.y + row.rect.B);
  MenuPlaceSubmenu(rowRoot, p.x, p.x + p.layout.Width(), mMetrics.border, sub.layout.Width(), sub.layout.Height(),
                   DisplayWidth(mDisplay, screen), DisplayHeight(mDisplay, screen), &sub.x, &sub.y);
  sub.surface->MoveResize(sub.x, sub.y, sub.layout.Width(), sub.layout.Height());
  Paint(sub);
  sub.surface->Map();
  sub.surface->Put();
  return true;
}

void X11PopupMenu::CloseLevelsAbove(size_t keep)
{
  // The surfaces destroy their windows, trapped.
  while (mLevels.size() > keep + 1) mLevels.pop_back();
}

bool X11PopupMenu::Grab()
{
  const Window w = mLevels[0]->surface->Id();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kGrabWaitMs);
  for (;;)
  {
    X11ErrorTrap trap(mDisplay);
    if (!mGrabbedPointer)
      mGrabbedPointer = XGrabPointer(mDisplay, w, True, kGrabPointerMask, GrabModeAsync, GrabModeAsync, None, None,
                                     CurrentTime) == GrabSuccess;
    if (!mGrabbedKeyboard)
      mGrabbedKeyboard = XGrabKeyboard(mDisplay, w, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    if (trap.Failed()) return false;
    if (mGrabbedPointer && mGrabbedKeyboard) return true;
    // Another client holds a grab (a menu of its own closing): wait briefly.
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void X11PopupMenu::Ungrab()
{
  if (!mGrabbedPointer && !mGrabbedKeyboard) return;
  X11ErrorTrap trap(mDisplay);
  if (mGrabbedPointer) XUngrabPointer(mDisplay, CurrentTime);
  if (mGrabbedKeyboard) XUngrabKeyboard(mDisplay, CurrentTime);
  mGrabbedPointer = mGrabbedKeyboard = false;
  trap.Failed();
}

void X11PopupMenu::Dispatch(XEvent& event)
{
  // With owner_events the server reports pointer and key events to whichever
  // of our windows is under the pointer or focused (the editor's too): they
  // are all the menu's input, told apart by root position.
  switch (event.type)
  {
  case MotionNotify:
    OnPointer(event.xmotion.x_root, event.xmotion.y_root, false, false);
    break;
  case ButtonPress:
  case ButtonRelease:
    // The wheel neither chooses nor dismisses.
    if (event.xbutton.button >= Button1 && event.xbutton.button <= Button3)
      OnPointer(event.xbutton.x_root, event.xbutton.y_root, event.type == ButtonPress, event.type == ButtonRelease);
    break;
  case KeyPress:
    OnKey(event.xkey);
    break;
  default:
    break;
  }
  for (std::unique_ptr<Level>& level : mLevels)
  {
    if (event.xany.window != level->surface->Id()) continue;
    if (event.type == Expose && event.xexpose.count == 0) level->surface->Put();
    return;
  }
  if (event.type != KeyPress && event.type != KeyRelease && event.type != ButtonPress &&
      event.type != ButtonRelease && event.type != MotionNotify)
    mHost->OnModalEvent(event);
}

int X11PopupMenu::LevelAt(int rootX, int rootY) const
{
  for (int i = (int)mLevels.size() - 1; i >= 0; --i)
  {
    const Level& l = *mLevels[(size_t)i];
    if (rootX >= l.x && rootX < l.x + l.layout.Width() && rootY >= l.y && rootY < l.y + l.layout.Height()) return i;
  }
  return -1;
}

void X11PopupMenu::OnPointer(int rootX, int rootY, bool press, bool release)
{
  const int li = LevelAt(rootX, rootY);
  if (li < 0)
  {
    if (press)
    {
      mResult = nullptr;
      mDone = true;
    }
    return;
  }
  const size_t at = (size_t)li;
  Level& level = *mLevels[at];
  const int row = level.layout.HitTest(rootX - level.x, rootY - level.y);
  const bool selectable = row >= 0 && level.layout.Row(row).Selectable();
  const int want = selectable ? row : -1;
  // Its submenu already open: leave it (and whatever it opened) alone.
  const bool subOpen = mLevels.size() > at + 1 && want >= 0 && want == level.highlight;
  if (!subOpen)
  {
    if (mLevels.size() > at + 1) CloseLevelsAbove(at);
    if (want != level.highlight)
    {
      level.highlight = want;
      Paint(level);
      level.surface->Put();
    }
    if (want >= 0 && level.layout.Row(want).kind == MenuRow::kSubmenu) OpenSubmenu(at, -1);
  }
  if (release && want >= 0 && level.layout.Row(want).Choosable()) Choose(at, want);
}

void X11PopupMenu::OnKey(XKeyEvent& event)
{
  MenuKey key;
  switch (XLookupKeysym(&event, 0))
  {
  case XK_Up: case XK_KP_Up: key = MenuKey::kUp; break;
  case XK_Down: case XK_KP_Down: key = MenuKey::kDown; break;
  case XK_Left: case XK_KP_Left: key = MenuKey::kLeft; break;
  case XK_Right: case XK_KP_Right: key = MenuKey::kRight; break;
  case XK_Return: case XK_KP_Enter: case XK_space: key = MenuKey::kConfirm; break;
  case XK_Escape: key = MenuKey::kEscape; break;
  default: return;
  }
  const size_t at = mLevels.size() - 1;
  Level& level = *mLevels[at];
  int highlight = level.highlight;
  switch (level.layout.Key(key, &highlight, at == 0))
  {
  case MenuStep::kNone:
    break;
  case MenuStep::kMoved:
    level.highlight = highlight;
    Paint(level);
    level.surface->Put();
    break;
  case MenuStep::kOpenSubmenu:
    OpenSubmenu(at, 0);
    break;
  case MenuStep::kCloseLevel:
    CloseLevelsAbove(at - 1);
    break;
  case MenuStep::kChoose:
    Choose(at, highlight);
    break;
  case MenuStep::kDismiss:
    mResult = nullptr;
    mDone = true;
    break;
  }
}

void X11PopupMenu::Choose(size_t level, int row)
{
  mResult = mLevels[level]->menu;
  mResult->SetChosenItemIdx(row);
  mDone = true;
}

void X11PopupMenu::Paint(Level& level)
{
  X11Surface& s = *level.surface;
  const MenuLayout& layout = level.layout;
  const MenuMetrics& m = layout.Metrics();
  Raster_MemBitmap* bm = s.Bitmap();
  s.Fill(IRECT(0, 0, s.Width(), s.Height()), kBackground);
  s.Frame(IRECT(0, 0, s.Width(), s.Height()), kFrame);
  for (int i = 0; i < layout.Count(); ++i)
  {
    const MenuRow& row = layout.Row(i);
    const IRECT& r = row.rect;
    if (row.kind == MenuRow::kSeparator)
    {
      const int mid = (r.T + r.B) / 2;
      s.Fill(IRECT(r.L + 6, mid, r.R - 6, mid + 1), kSeparator);
      continue;
    }
    const bool lit = i == level.highlight;
    if (lit) s.Fill(r, kHighlight);
    const IColor& ink = lit ? kHighlightText : (row.enabled ? kTextColor : kDisabledText);
    mText.mColor = ink;
    s.Text(mGraphics, &mText, row.label.c_str(), IRECT(layout.TextLeft(i), r.T, r.R - m.arrowW, r.B));
    const int cy = (r.T + r.B) / 2;
    if (row.checked)
    {
      const int cx = r.L + m.checkW / 2;
      for (int t = 0; t < 2; ++t)
      {
        Raster_Line(bm, cx - 5, cy + t - 1, cx - 2, cy + t + 2, ink.ToPixel(), 1.0f, RASTER_MODE_COPY, true);
        Raster_Line(bm, cx - 2, cy + t + 2, cx + 5, cy + t - 5, ink.ToPixel(), 1.0f, RASTER_MODE_COPY, true);
      }
    }
    if (row.kind == MenuRow::kSubmenu)
    {
      const int ax = r.R - m.arrowW / 2 - 2;
      Raster_FillTriangle(bm, ax, cy - 4, ax, cy + 4, ax + 4, cy, ink.ToPixel(), 1.0f, RASTER_MODE_COPY);
    }
  }
}
