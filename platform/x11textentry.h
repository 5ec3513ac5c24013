// The one-line text field the editor opens over a control: a child window of
// the editor's window drawn with the raster library and the text shim (the
// record's face at nine tenths of its size, the entry colours, a caret, the
// text scrolled to keep the caret in view), editing through TextEntryModel.
// It holds the keyboard focus while open and gives it back when it ends.
// Threads: UI thread only. Ownership: X11Window owns the open field; the
// control, parameter and core are not owned, the Display is the window's.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "graphics/IGraphicsStructs.h"
#include "platform/textentrymodel.h"
#include "platform/x11surface.h"

class IControl;
class IGraphics;
class IParam;

class X11TextEntry
{
public:
  // A mapped, focused child of parent over r (parent's coordinates) holding
  // str; allowed and maxChars as TextEntryModel::Reset takes them. Null when
  // the window cannot be made.
  static X11TextEntry* Open(Display* display, Window parent, IGraphics* graphics, IControl* control,
                            IParam* param, const IText& text, const IRECT& r, const char* str,
                            const char* allowed, int maxChars);
  // Gives the focus back to where it was when the field still has it (the
  // old window may be gone: trapped), then destroys the window.
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  Window Id() const { return mSurface.Id(); }
  const IRECT& Rect() const { return mRect; }
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }
  const std::string& Text() const { return mModel.Text(); }

  // A key press (of the field or the editor's window): edits and redraws;
  // kCommit or kCancel tell the owner to end the field.
  TextEntryAction OnKey(XKeyEvent& event);
  // A left or right press at x in the field's coordinates: the caret goes to
  // the nearest character boundary.
  void OnPress(int x);
  // Paints the field into its window.
  void Redraw();
  // Whether the keyboard focus is on the field or on owner (asked of the
  // server).
  bool HasFocus(Window owner) const;

private:
  X11TextEntry(Display* display, Window parent, IGraphics* graphics, IControl* control, IParam* param,
               const IText& text, const IRECT& r);
  int Width(const std::string& s);

  Display* mDisplay;
  Window mParent;
  IGraphics* mGraphics;
  IControl* mControl;
  IParam* mParam;
  IRECT mRect;
  IText mText;                  // entry font and colours, left aligned for drawing
  IText::EAlign mAlign;         // the record's alignment, for text that fits
  X11Surface mSurface;
  TextEntryModel mModel;
  int mScroll = 0;              // pixels of text hidden left of the field
  int mOrigin = 0;              // where the text starts, field coordinates
  Window mOldFocus = 0;
  int mOldRevert = RevertToParent;
};

// The text a key press types: the keysym's character for Latin-1 and
// Unicode keysyms (surrogates type nothing), else the one printable ASCII byte XLookupString gave
// (keypad digits); "" for keys that type nothing. out has room for 5 bytes.
void X11_KeyText(unsigned long keysym, const char* bytes, int nBytes, char* out);
