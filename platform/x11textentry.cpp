#include "platform/x11textentry.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "platform/IGraphicsLinux.h"
#include "platform/x11window.h"
#include "platform/x11errors.h"
#include "util/utf8.h"

namespace
{
const int kPad = 2;
const long kFieldEvents = ExposureMask | KeyPressMask | ButtonPressMask | FocusChangeMask;

bool EditKey(KeySym sym, TextEntryKey* key)
{
  switch (sym)
  {
  case XK_BackSpace: *key = TextEntryKey::kBackspace; return true;
  case XK_Delete:
  case XK_KP_Delete: *key = TextEntryKey::kDelete; return true;
  case XK_Left:
  case XK_KP_Left: *key = TextEntryKey::kLeft; return true;
  case XK_Right:
  case XK_KP_Right: *key = TextEntryKey::kRight; return true;
  case XK_Home:
  case XK_KP_Home: *key = TextEntryKey::kHome; return true;
  case XK_End:
  case XK_KP_End: *key = TextEntryKey::kEnd; return true;
  case XK_Return:
  case XK_KP_Enter: *key = TextEntryKey::kCommit; return true;
  case XK_Escape: *key = TextEntryKey::kCancel; return true;
  default: return false;
  }
}
} // namespace

void X11_KeyText(unsigned long keysym, const char* bytes, int nBytes, char* out)
{
  long cp = -1;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    cp = (long)keysym; // Latin-1 keysyms are their code points
  else if (keysym >= 0x1000100 && keysym <= 0x110FFFF && !(keysym >= 0x100D800 && keysym <= 0x100DFFF))
    cp = (long)(keysym - 0x1000000);
  else if (nBytes == 1 && (unsigned char)bytes[0] >= 0x20 && (unsigned char)bytes[0] < 0x7F)
    cp = (unsigned char)bytes[0];
  out[0] = '\0';
  if (cp < 0) return;
  out[Util_Utf8Encode((uint32_t)cp, out)] = '\0';
}

X11TextEntry::X11TextEntry(Display* display, Window parent, IGraphics* graphics, IControl* control, IParam* param,
                           const IText& text, const IRECT& r)
  : mDisplay(display), mParent(parent), mGraphics(graphics), mControl(control), mParam(param), mRect(r),
    mText(text), mAlign(text.mAlign), mSurface(display, parent, r.L, r.T, r.W(), r.H(), false, kFieldEvents)
{
  mText.mSize = std::max((int)(text.mSize * 0.9), 1);
  mText.mColor = text.mTextEntryFGColor;
  mText.mAlign = IText::kAlignNear;
  mText.mCached = nullptr; // another size: another font
}

X11TextEntry* X11TextEntry::Open(Display* display, Window parent, IGraphics* graphics, IControl* control,
                                 IParam* param, const IText& text, const IRECT& r, const char* str,
                                 const char* allowed, int maxChars)
{
  X11TextEntry* e = new X11TextEntry(display, parent, graphics, control, param, text, r);
  if (!e->mSurface.Valid())
  {
    delete e;
    return nullptr;
  }
  e->mModel.Reset(str, allowed, maxChars);
  {
    X11ErrorTrap trap(display);
    XGetInputFocus(display, &e->mOldFocus, &e->mOldRevert);
    trap.Failed();
  }
  e->mSurface.Map();
  // Nothing else gives a child window the keys (no window manager does, and
  // a host's embedder may not): the field takes the focus itself. Refused
  // (an unmapped editor) the keys still reach it through the editor window.
  X11ErrorTrap trap(display);
  XSetInputFocus(display, e->Id(), RevertToParent, CurrentTime);
  trap.Failed();
  e->Redraw();
  return e;
}

X11TextEntry::~X11TextEntry()
{
  if (!mSurface.Id()) return;
  // Given back only while it is still ours: after a focus loss it went
  // where the user put it.
  if (HasFocus(mParent))
  {
    X11ErrorTrap trap(mDisplay);
    XSetInputFocus(mDisplay, mOldFocus, mOldRevert, CurrentTime);
    trap.Failed();
  }
}

bool X11TextEntry::HasFocus(Window owner) const
{
  Window focus = 0;
  int revert = 0;
  X11ErrorTrap trap(mDisplay);
  XGetInputFocus(mDisplay, &focus, &revert);
  if (trap.Failed()) return false;
  return focus == mSurface.Id() || (owner && focus == owner);
}

int X11TextEntry::Width(const std::string& s)
{
  int w = 0, h = 0;
  if (!X11Surface::Measure(mGraphics, &mText, s.c_str(), &w, &h)) return 0;
  return w;
}

TextEntryAction X11TextEntry::OnKey(XKeyEvent& event)
{
  char bytes[16];
  KeySym sym = NoSymbol;
  const int n = XLookupString(&event, bytes, (int)sizeof(bytes), &sym, nullptr);
  TextEntryKey key;
  if (EditKey(sym, &key))
  {
    const TextEntryAction action = mModel.Key(key);
    if (action == TextEntryAction::kChanged) Redraw();
    return action;
  }
  // Shortcuts are not typing.
  if (event.state & (ControlMask | Mod1Mask)) return TextEntryAction::kNone;
  char text[5];
  X11_KeyText(sym, bytes, n, text);
  if (!text[0] || !mModel.Insert(text)) return TextEntryAction::kNone;
  Redraw();
  return TextEntryAction::kChanged;
}

void X11TextEntry::OnPress(int x)
{
  const int chars = mModel.Chars();
  int best = 0, bestDist = std::abs(mOrigin - x);
  for (int i = 1; i <= chars; ++i)
  {
    const int dist = std::abs(mOrigin + Width(mModel.Text().substr(0, (size_t)mModel.ByteOfChar(i))) - x);
    if (dist < bestDist)
    {
      best = i;
      bestDist = dist;
    }
  }
  mModel.SetCaretChar(best);
  Redraw();
}

void X11TextEntry::Redraw()
{
  const int w = mSurface.Width(), h = mSurface.Height();
  mSurface.Fill(IRECT(0, 0, w, h), mText.mTextEntryBGColor);
  const std::string& s = mModel.Text();
  int textW = 0, lineH = 0;
  if (!X11Surface::Measure(mGraphics, &mText, s.c_str(), &textW, &lineH)) lineH = h;
  const int caretW = Width(s.substr(0, (size_t)mModel.CaretByte()));
  // Room for the text and the caret after it.
  const int room = std::max(w - 2 * kPad - 1, 1);
  if (textW <= room)
  {
    mScroll = 0;
    mOrigin = kPad;
    if (mAlign == IText::kAlignCenter) mOrigin += (room - textW) / 2;
    else if (mAlign == IText::kAlignFar) mOrigin += room - textW;
  }
  else
  {
    if (caretW - mScroll > room) mScroll = caretW - room;
    if (caretW < mScroll) mScroll = caretW;
    mScroll = std::max(0, std::min(mScroll, textW - room));
    mOrigin = kPad - mScroll;
  }
  // Clipped to the bitmap: what does not fit on the right is cut.
  mSurface.Text(mGraphics, &mText, s.c_str(), IRECT(mOrigin, 0, mOrigin + textW + 1, h));
  const int x = std::max(0, std::min(mOrigin + caretW, w - 1));
  const int top = std::max(0, (h - lineH) / 2);
  mSurface.Fill(IRECT(x, top, x + 1, std::min(h, top + lineH)), mText.mTextEntryFGColor);
  mSurface.Put();
}

// ---- The editor window's part ----

bool X11Window::OpenTextEntry(IControl* control, IParam* param, const IText& text, const IRECT& r, const char* str)
{
  if (mEntry || mClosed || mGone || !mGraphics || !control) return false;
  // Only a parameter's entry is filtered and limited.
  const char* allowed = param ? TextEntryModel::AllowedFor(param->GetKind()) : nullptr;
  const int maxChars = param ? control->mEntryMaxLength : 0;
  mEntry = X11TextEntry::Open(mDisplay, mWindow, mGraphics, control, param, text, r, str, allowed, maxChars);
  return mEntry != nullptr;
}

bool X11Window::EndTextEntry(bool commit)
{
  X11TextEntry* entry = mEntry;
  if (!entry) return !mClosed;
  mEntry = nullptr;
  std::string text = entry->Text();
  IControl* control = entry->Control();
  IParam* param = entry->Param();
  // Closed before anything is called: what is called may open another.
  delete entry;
  if (mClosed || !mGraphics) return !mClosed;
  IGraphicsLinux* graphics = mGraphics;
  Enter();
  if (commit)
  {
    if (param)
      graphics->SetFromStringAfterPrompt(control, param, &text[0]);
    else
      control->TextFromTextEntry(text.c_str());
  }
  if (!mClosed && mGraphics) mGraphics->SetAllControlsDirty();
  return Leave();
}

bool X11Window::HandleEntryEvent(XEvent& event)
{
  const Window field = mEntry->Id();
  const Window target = event.xany.window;
  switch (event.type)
  {
  case Expose:
    if (target != field) return false;
    if (event.xexpose.count == 0) mEntry->Redraw();
    return true;
  case KeyPress:
  {
    // Every key goes to the field while it is open, none to the core.
    const TextEntryAction action = mEntry->OnKey(event.xkey);
    if (action == TextEntryAction::kCommit) EndTextEntry(true);
    else if (action == TextEntryAction::kCancel) EndTextEntry(false);
    return true;
  }
  case ButtonPress:
  {
    if (target != field) return false;
    XButtonEvent& e = event.xbutton;
    if (e.button == Button1 || e.button == Button3)
    {
      mEntry->OnPress(e.x);
      return true;
    }
    if (e.button == Button2) return true;
    // A wheel step over the field ends it, then wheels as over the panel.
    const IRECT& r = mEntry->Rect();
    e.x += r.L;
    e.y += r.T;
    e.window = mWindow;
    HandleButton(e, true);
    return true;
  }
  case ButtonRelease:
  case MotionNotify: return target == field;
  case FocusOut:
  {
    if (target != field && target != mWindow) return false;
    const XFocusChangeEvent& f = event.xfocus;
    // Grabs are passing; inferior and pointer details are moves inside our
    // windows or no move at all. A late notice of a focus we already took
    // back says the field still has it.
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab) return true;
    if (f.detail == NotifyInferior || f.detail == NotifyPointer) return true;
    if (mEntry->HasFocus(mWindow)) return true;
    // That round trip read what came with the loss: when the host destroyed
    // our window, the field goes with it and nothing is committed.
    XEvent destroyed;
    if (XCheckTypedWindowEvent(mDisplay, mWindow, DestroyNotify, &destroyed))
      Handle(destroyed);
    else
      EndTextEntry(true);
    return true;
  }
  case FocusIn: return target == field;
  default: return false;
  }
}
