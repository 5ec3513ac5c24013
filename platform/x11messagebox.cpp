#include "platform/x11messagebox.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "graphics/IGraphics.h"
#include "platform/x11errors.h"
#include "platform/x11modal.h"
#include "platform/x11surface.h"
#include "util/utf8.h"

X11MessageBoxButtons X11_MessageBoxButtons(int type)
{
  switch (type)
  {
  case 4: return {2, {"Yes", "No", nullptr}};
  case 3: return {3, {"Yes", "No", "Cancel"}};
  case 1: return {2, {"OK", "Cancel", nullptr}};
  default: return {1, {"OK", nullptr, nullptr}};
  }
}

namespace
{
// Longer messages are cut before wrapping: a box is no place for a file.
const size_t kMaxTextBytes = 4096;

// Byte offsets of the character boundaries of s, 0 and s.size() included.
std::vector<size_t> Boundaries(const std::string& s)
{
  std::vector<size_t> b{0};
  int pos = 0;
  while (pos < (int)s.size())
  {
    Util_Utf8Next(s.data(), (int)s.size(), &pos);
    b.push_back((size_t)pos);
  }
  return b;
}

// The longest leading part of word that fits, at least one character.
size_t FittingPrefix(const std::string& word, int maxWidth, const std::function<int(const std::string&)>& width)
{
  const std::vector<size_t> b = Boundaries(word);
  size_t lo = 1, hi = b.size() - 1; // indices into b: lo fits by decree
  while (lo < hi)
  {
    const size_t mid = (lo + hi + 1) / 2;
    if (width(word.substr(0, b[mid])) <= maxWidth)
      lo = mid;
    else
      hi = mid - 1;
  }
  return b[lo];
}
} // namespace

std::vector<std::string> X11_WrapText(const char* text, int maxWidth, const std::function<int(const std::string&)>& width,
                                      int maxLines)
{
  std::vector<std::string> lines;
  if (!text || !*text || maxLines <= 0) return lines;
  std::string all(text, strnlen(text, kMaxTextBytes));
  for (char& c : all)
    if (c == '\t' || c == '\r' || c == '\v' || c == '\f') c = ' ';

  size_t start = 0;
  while (start <= all.size() && (int)lines.size() <= maxLines)
  {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    const std::string para = all.substr(start, end - start);
    std::string line;
    size_t w = 0;
    bool any = false;
    while (w <= para.size())
    {
      size_t we = para.find(' ', w);
      if (we == std::string::npos) we = para.size();
      std::string word = para.substr(w, we - w);
      w = we + 1;
      if (word.empty()) continue;
      const std::string candidate = line.empty() ? word : line + " " + word;
      if (width(candidate) <= maxWidth)
      {
        line = candidate;
        continue;
      }
      if (!line.empty()) lines.push_back(line);
      any = true;
      while (width(word) > maxWidth && (int)lines.size() <= maxLines)
      {
        const size_t cut = FittingPrefix(word, maxWidth, width);
        lines.push_back(word.substr(0, cut));
        word = word.substr(cut);
      }
      line = word;
    }
    if (!line.empty() || !any) lines.push_back(line);
    start = end + 1;
  }
  const bool cut = strnlen(text, kMaxTextBytes + 1) > kMaxTextBytes;
  if (!lines.empty() && ((int)lines.size() > maxLines || cut))
  {
    lines.resize(std::min((int)lines.size(), maxLines));
    std::string& last = lines.back();
    const std::string ellipsis = "\xE2\x80\xA6";
    while (!last.empty() && width(last + ellipsis) > maxWidth)
    {
      const std::vector<size_t> b = Boundaries(last);
      last.resize(b[b.size() - 2]);
    }
    last += ellipsis;
  }
  return lines;
}

namespace
{

const int kPad = X11MessageBoxMetrics::kPad, kGap = X11MessageBoxMetrics::kGap;
const int kButtonH = X11MessageBoxMetrics::kButtonH, kButtonMinW = X11MessageBoxMetrics::kButtonMinW;
const int kMinW = 300, kMaxTextW = 420, kMaxLines = 20;
const IColor kBack(255, 236, 236, 236), kInk(255, 20, 20, 20), kButton(255, 250, 250, 250),
    kPressed(255, 200, 200, 205), kEdge(255, 150, 150, 150), kDefaultEdge(255, 60, 60, 60),
    kFocus(255, 40, 110, 210);

// The top-level window w lies in (w itself when it is one), or 0.
Window TopLevelOf(Display* d, Window w)
{
  X11ErrorTrap trap(d);
  Window root = DefaultRootWindow(d);
  for (int depth = 0; w && depth < 64; ++depth)
  {
    Window r = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, w, &r, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    if (parent == root || parent == 0) return trap.Failed() ? 0 : w;
    w = parent;
  }
  return 0;
}

class MessageBox
{
public:
  MessageBox(IGraphics* g, Display* d, X11ModalHost* host, int type)
    : mGraphics(g), mDisplay(d), mHost(host), mButtons(X11_MessageBoxButtons(type)),
      mCaptionText(15, &kInk, nullptr, IText::kStyleBold, IText::kAlignNear),
      mBodyText(13, &kInk, nullptr, IText::kStyleNormal, IText::kAlignNear), mButtonText(13, &kInk)
  {
  }

  int Run(const char* text, const char* caption, Window owner)
  {
    Layout(text ? text : "", caption ? caption : "");
    if (!Create(caption ? caption : "", owner)) return 0;
    Window previousFocus = 0;
    int revert = 0;
    XGetInputFocus(mDisplay, &previousFocus, &revert);
    mSurface->Map();
    Loop();
    mSurface.reset();
    // No window manager hands the focus back for us.
    if (mFocused && previousFocus > PointerRoot)
    {
      X11ErrorTrap trap(mDisplay);
      XSetInputFocus(mDisplay, previousFocus, RevertToParent, CurrentTime);
      trap.Failed();
    }
    XFlush(mDisplay);
    return mResult;
  }

private:
  int Measure(IText* t, const std::string& s, int* h = nullptr)
  {
    int w = 0, lh = 0;
    if (!X11Surface::Measure(mGraphics, t, s.c_str(), &w, &lh))
    {
      // No font: room for the buttons still, the box still answers.
      w = 7 * (int)s.size();
      lh = 16;
    }
    if (h) *h = lh;
    return w;
  }

  void Layout(const char* text, const char* caption)
  {
    mCaption = caption;
    Measure(&mCaptionText, "Ag", &mCaptionH);
    Measure(&mBodyText, "Ag", &mLineH);
    mLines = X11_WrapText(text, kMaxTextW, [this](const std::string& s) { return Measure(&mBodyText, s); },
                          kMaxLines);
    int textW = std::min(Measure(&mCaptionText, mCaption), kMaxTextW);
    for (const std::string& l : mLines) textW = std::max(textW, Measure(&mBodyText, l));
    int buttonW[3] = {0, 0, 0}, rowW = 0;
    for (int i = 0; i < mButtons.count; ++i)
    {
      buttonW[i] = std::max(kButtonMinW, Measure(&mButtonText, mButtons.labels[i]) + 24);
      rowW += buttonW[i] + (i ? kGap : 0);
    }
    mW = std::max({kMinW, textW + 2 * kPad, rowW + 2 * kPad});
    int y = kPad;
    mCaptionRect = IRECT(kPad, y, mW - kPad, y + mCaptionH);
    y += mCaptionH + kGap;
    mBodyTop = y;
    y += (int)mLines.size() * mLineH + (mLines.empty() ? 0 : kPad);
    // The default button on the right, the others to its left in order.
    int right = mW - kPad;
    for (int i = 0; i < mButtons.count; ++i)
    {
      mButtonRect[i] = IRECT(right - buttonW[i], y, right, y + kButtonH);
      right -= buttonW[i] + kGap;
    }
    mH = y + kButtonH + kPad;
  }

  bool Create(const char* caption, Window owner)
  {
    const int screen = DefaultScreen(mDisplay);
    const int sw = DisplayWidth(mDisplay, screen), sh = DisplayHeight(mDisplay, screen);
    int cx = sw / 2, cy = sh / 2;
    Window top = owner ? TopLevelOf(mDisplay, owner) : 0;
    if (top)
    {
      X11ErrorTrap trap(mDisplay);
      XWindowAttributes a;
      int rx = 0, ry = 0;
      if (XGetWindowAttributes(mDisplay, top, &a))
      {
        X11_ToRoot(mDisplay, top, 0, 0, &rx, &ry);
        cx = rx + a.width / 2;
        cy = ry + a.height / 2;
      }
      if (trap.Failed()) top = 0;
    }
    const int x = std::max(0, std::min(cx - mW / 2, sw - mW)), y = std::max(0, std::min(cy - mH / 2, sh - mH));
    mSurface = std::make_unique<X11Surface>(mDisplay, DefaultRootWindow(mDisplay), x, y, mW, mH, false,
                                            ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                                                StructureNotifyMask);
    if (!mSurface->Valid()) return false;
    const Window w = mSurface->Id();

    X11ErrorTrap trap(mDisplay);
    XSizeHints size{};
    size.flags = USPosition | PPosition | PMinSize | PMaxSize;
    size.x = x;
    size.y = y;
    size.min_width = size.max_width = mW;
    size.min_height = size.max_height = mH;
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    char resName[] = "messagebox", resClass[] = "MessageBox";
    XClassHint cls{resName, resClass};
    Xutf8SetWMProperties(mDisplay, w, caption, caption, nullptr, 0, &size, &hints, &cls);
    const Atom utf8 = XInternAtom(mDisplay, "UTF8_STRING", False);
    XChangeProperty(mDisplay, w, XInternAtom(mDisplay, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    (const unsigned char*)caption, (int)strlen(caption));
    Atom dialog = XInternAtom(mDisplay, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(mDisplay, w, XInternAtom(mDisplay, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    (const unsigned char*)&dialog, 1);
    Atom modal = XInternAtom(mDisplay, "_NET_WM_STATE_MODAL", False);
    XChangeProperty(mDisplay, w, XInternAtom(mDisplay, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    (const unsigned char*)&modal, 1);
    mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    mDelete = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(mDisplay, w, &mDelete, 1);
    if (top) XSetTransientForHint(mDisplay, w, top);
    // Labels are a nicety; a box without them still answers.
    trap.Failed();
    return true;
  }

  void Loop()
  {
    X11_RunModal(mDisplay, mHost,
                 [&](XEvent& ev) {
                   if (ev.xany.window != mSurface->Id()) return false;
                   Handle(ev);
                   return true;
                 },
                 [&] { return mDone; });
  }

  void Answer(int index)
  {
    mResult = mButtons.Result(index);
    mDone = true;
  }

  int ButtonAt(int x, int y) const
  {
    for (int i = 0; i < mButtons.count; ++i)
      if (mButtonRect[i].Contains(x, y)) return i;
    return -1;
  }

  void Handle(XEvent& ev)
  {
    switch (ev.type)
    {
    case Expose:
      if (ev.xexpose.count == 0) Draw();
      break;
    case MapNotify:
    {
      // Keys reach the box without a window manager giving it the focus.
      X11ErrorTrap trap(mDisplay);
      XSetInputFocus(mDisplay, mSurface->Id(), RevertToParent, CurrentTime);
      mFocused = !trap.Failed();
      break;
    }
    case DestroyNotify: mDone = true; break; // someone else ended it: no answer
    case ClientMessage:
      if (ev.xclient.message_type == mProtocols && (Atom)ev.xclient.data.l[0] == mDelete) Answer(-1);
      break;
    case ButtonPress:
      if (ev.xbutton.button != Button1) break;
      mPressed = ButtonAt(ev.xbutton.x, ev.xbutton.y);
      if (mPressed >= 0) mFocus = mPressed;
      Draw();
      break;
    case ButtonRelease:
    {
      if (ev.xbutton.button != Button1) break;
      const int hit = ButtonAt(ev.xbutton.x, ev.xbutton.y);
      const int pressed = mPressed;
      mPressed = -1;
      if (hit >= 0 && hit == pressed)
        Answer(hit);
      else
        Draw();
      break;
    }
    case KeyPress: HandleKey(ev.xkey); break;
    default: break;
    }
  }

  void HandleKey(XKeyEvent& e)
  {
    const KeySym sym = XLookupKeysym(&e, 0);
    const int n = mButtons.count;
    switch (sym)
    {
    case XK_Return:
    case XK_KP_Enter: Answer(0); return;
    case XK_Escape: Answer(mButtons.Escape()); return;
    case XK_space:
    case XK_KP_Space: Answer(mFocus); return;
    case XK_Tab:
      mFocus = (e.state & ShiftMask) ? (mFocus + n - 1) % n : (mFocus + 1) % n;
      break;
    case XK_ISO_Left_Tab: mFocus = (mFocus + n - 1) % n; break;
    // The buttons run from the default on the right leftwards.
    case XK_Left:
    case XK_Up: mFocus = std::min(mFocus + 1, n - 1); break;
    case XK_Right:
    case XK_Down: mFocus = std::max(mFocus - 1, 0); break;
    default: return;
    }
    Draw();
  }

  void Draw()
  {
    X11Surface& s = *mSurface;
    s.Fill(IRECT(0, 0, mW, mH), kBack);
    s.Text(mGraphics, &mCaptionText, mCaption.c_str(), mCaptionRect);
    for (size_t i = 0; i < mLines.size(); ++i)
    {
      const int t = mBodyTop + (int)i * mLineH;
      s.Text(mGraphics, &mBodyText, mLines[i].c_str(), IRECT(kPad, t, mW - kPad, t + mLineH));
    }
    for (int i = 0; i < mButtons.count; ++i)
    {
      const IRECT& r = mButtonRect[i];
      s.Fill(r, i == mPressed ? kPressed : kButton);
      s.Frame(r, i == 0 ? kDefaultEdge : kEdge);
      if (i == 0) s.Frame(IRECT(r.L + 1, r.T + 1, r.R - 1, r.B - 1), kDefaultEdge);
      if (i == mFocus) s.Frame(IRECT(r.L + 3, r.T + 3, r.R - 3, r.B - 3), kFocus);
      s.Text(mGraphics, &mButtonText, mButtons.labels[i], r);
    }
    s.Put();
  }

  IGraphics* mGraphics;
  Display* mDisplay;
  X11ModalHost* mHost;
  X11MessageBoxButtons mButtons;
  IText mCaptionText, mBodyText, mButtonText;
  std::string mCaption;
  std::vector<std::string> mLines;
  int mW = 0, mH = 0, mCaptionH = 0, mLineH = 0, mBodyTop = 0;
  IRECT mCaptionRect, mButtonRect[3];
  std::unique_ptr<X11Surface> mSurface;
  Atom mProtocols = 0, mDelete = 0;
  int mFocus = 0, mPressed = -1, mResult = 0;
  bool mDone = false, mFocused = false;
};
} // namespace

int X11_ShowMessageBox(IGraphics* graphics, Display* display, Window owner, X11ModalHost* host, const char* text,
                       const char* caption, int type)
{
  if (!display) return 0;
  MessageBox box(graphics, display, host, type);
  return box.Run(text, caption, owner);
}
