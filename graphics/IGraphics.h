// The editor's platform-independent core: the ordered control list, parameter links, value
// prompts, event dispatch with mouse capture, dirty tracking and painting into an off-screen
// bitmap, the drawing primitives controls use, and the image and font resources.
// Threads: events, IsDirty, Draw, the primitives and prompts run on the UI thread.
// SetParameterFromPlug runs on the audio thread or the host's main thread with the plug-in
// mutex held (processing, state restore, AttachGraphics, RedrawParamControls); it only writes
// the controls' atomic values and flags. The resource caches may be used from any thread
// under their own mutexes. No lock of its own guards the control list: controls are attached
// by the editor description before AttachGraphics and only removed by Resize (UI thread,
// under the plug-in mutex) and the destructor.
// Ownership: owns its controls (deleted last first), the key catcher and both drawing
// bitmaps; images and fonts belong to the process-wide caches. The platform operations are
// virtual; the base answers as if no window were open (null, false, nothing done).
#pragma once

#include "framework/IEditorLink.h"
#include "graphics/IGraphicsStructs.h"
#include "util/ptrlist.h"
#include "util/utilstring.h"

class IControl;
class IParam;
class IPluginBase;
class IPopupMenu;
class Raster_IBitmap;
class Raster_MemBitmap;
class Raster_IFont;

enum EFileAction : int
{
  kFileOpen = 0,
  kFileSave = 1
};

// Key codes of OnKeyDown: space, arrows, digits and letters (case-insensitive).
enum EIGraphicsKey : int
{
  KEY_SPACE = 0,
  KEY_UPARROW = 1,
  KEY_DOWNARROW = 2,
  KEY_LEFTARROW = 3,
  KEY_RIGHTARROW = 4,
  KEY_DIGIT_0 = 5,
  KEY_DIGIT_9 = 14,
  KEY_ALPHA_A = 15,
  KEY_ALPHA_Z = 40
};

class IGraphics : public IEditorLink
{
public:
  // UI thread (editor description). fps of 0 or less selects 25.
  IGraphics(IPluginBase* plug, int width, int height, int fps = 0);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Virtual slots, in this order ----
  // UI thread, end of Draw: presents the region. Base: no window, nothing shown, false.
  virtual bool DrawScreen(IRECT* pR);
  // UI thread: DrawIText with measure = true.
  virtual bool MeasureIText(IText* pTxt, char* str, IRECT* pR);
  // UI thread: closes an open text entry. Base: none is open.
  virtual void ForceEndUserEdit() {}
  // UI thread: new size; deletes every control (holding the plug-in mutex, so the audio
  // thread's SetParameterFromPlug never walks a dying list) and both bitmaps, readies new
  // bitmaps and asks the plug-in to resize its editor. The caller attaches controls again.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  // UI thread: modal message; the platform's answer code. Base: 0 (nothing shown).
  virtual int ShowMessageBox(const char* text, const char* caption, int type);
  // UI thread: releases the mouse capture, shows the menu modally and returns the menu
  // holding the chosen item (its chosen index set), or null. Base: capture released, null.
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect);
  // UI thread: opens an editable field; when editing ends the platform calls
  // SetFromStringAfterPrompt (with a parameter) or the control's TextFromTextEntry. Base: none.
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam);
  // UI thread: folder paths. Base: the string is left unchanged.
  virtual void HostPath(Util_String* pPath);
  virtual void PluginPath(Util_String* pPath);
  virtual void DesktopPath(Util_String* pPath);
  virtual void AppSupportPath(Util_String* pPath, bool isSystem = false);
  virtual void SandboxSafeAppSupportPath(Util_String* pPath);
  // UI thread, modal: writes the chosen path into pFile. Base: nothing chosen, unchanged.
  virtual void PromptForFile(Util_String* pFile, EFileAction action = kFileOpen,
                             Util_String* pDir = nullptr, char* extensions = nullptr);
  // UI thread. Base: not offered, false, colour unchanged.
  virtual bool PromptForColor(IColor* pColor, char* prompt = nullptr);
  // UI thread. Base: nothing opened, false.
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr);
  // UI thread: the platform view inside parent, or null. Base: null.
  void* OpenWindow(void* pParentWnd) override;
  virtual void* OpenWindow(void* pParentWnd, void* pParentControl, short x = 0, short y = 0);
  virtual void AttachSubWindow(void* pParentWnd) { (void)pParentWnd; }
  virtual void RemoveSubWindow() {}
  void CloseWindow() override {}
  virtual void* GetWindow() { return nullptr; }
  // UI thread. Base: no clipboard, the string emptied, false.
  virtual bool GetTextFromClipboard(Util_String* pStr);
  // Owner's thread (the plug-in's destructor): deletes the controls last first, the key
  // catcher and both bitmaps.
  ~IGraphics() override;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  // UI thread: registers control tooltips with the window. Base: no window.
  virtual void UpdateTooltips() {}
  // Any thread (called by LoadIBitmap without a lock): a new 32-bit bitmap of the image,
  // owned by the caller, or null when it cannot be loaded. Base: null.
  virtual Raster_IBitmap* OSLoadBitmap(int ID, const char* name);

  // ---- Editor link (plug-in side) ----
  // Audio or host main thread, plug-in mutex held: shows a parameter's value in every
  // control linked to it (directly or as an auxiliary parameter).
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  // Host main thread inside AttachGraphics (mutex held), or Resize on the UI thread: makes
  // the drawing and scratch bitmaps.
  void PrepDraw() override;

  // ---- Lifecycle and control list (UI thread) ----
  void ReleaseMouseCapture();
  // Takes ownership; returns the new index, or -1 (control deleted) when it cannot be stored.
  int AttachControl(IControl* pControl);
  // Inserts an image control (no parameter, plain copy) at index 0.
  void AttachBackground(int ID, const char* name);
  // Inserts a panel filling the editor with *pColor at index 0; a null colour is ignored.
  void AttachPanelBackground(const IColor* pColor);
  // Takes ownership of the control that receives keys nobody else takes.
  void AttachKeyCatcher(IControl* pControl);
  void SetStrictDrawing(bool strict);
  IControl* GetControl(int idx) const;  // null outside the list
  int NControls() const;
  IControl* GetKeyCatcher() const { return mKeyCatcher; }

  // ---- Parameter links (UI thread unless stated) ----
  // Same threads as SetParameterFromPlug. An unknown index is ignored.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void SetAllControlsDirty();
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void AssignParamNameToolTips();

  // ---- Value prompts (UI thread) ----
  // A menu of display texts for enums and labelled bools, else a text entry.
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  // Called by the platform when a text entry ends.
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, char* txt);

  // ---- Events (UI thread, from the platform layer) ----
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  // True when the control takes double clicks as single clicks (it got OnMouseDown).
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  void OnGUIIdle();
  // The captured control, else the top control under the point, else -1.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  int GetParamIdxForPTAutomation(int x, int y);
  // The last lookup's parameter, then -1.
  int GetLastClickedParamForPTAutomation();

  // ---- Painting (UI thread) ----
  // Unions the rectangles of all dirty controls (hidden ones too) into *pR, which the caller
  // passes empty. Changes no control.
  bool IsDirty(IRECT* pR);
  // Paints the region (strict) or the dirty controls (non-strict), then DrawScreen.
  bool Draw(IRECT* pR);
  // The drawing bitmap's pixel memory, or null before PrepDraw.
  void* GetBits();
  Raster_IBitmap* GetDrawBitmap() const;
  const IRECT& GetDrawRECT() const { return mDrawRECT; }

  // ---- Drawing primitives (UI thread; each draws into the drawing bitmap, returns true) ----
  // Blits clip to mDrawRECT. A bitmap without data draws nothing.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend = nullptr);
  // bmpState counts frames from 1.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState = 1, const IChannelBlend* pBlend = nullptr);
  // angle in radians, about the image centre placed at (destCtrX, destCtrY).
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg = 0,
                         const IChannelBlend* pBlend = nullptr);
  // angle in degrees: mask and top rotated onto base, the result blitted at (x, y).
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend = nullptr);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  // Raw write without blending; points outside the bitmap are ignored.
  bool ForcePixel(const IColor* pColor, int x, int y);
  // Transparent black outside the bitmap.
  IColor GetPoint(int x, int y);
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  // angle in radians: 0 straight up, growing clockwise.
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend = nullptr,
                  bool antiAlias = false);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius, bool antiAlias);
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius, bool antiAlias);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend = nullptr);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                    const IChannelBlend* pBlend = nullptr);
  bool FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend = nullptr);
  bool DrawRect(const IColor* pColor, IRECT* pR);
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  // x (0 ... 1) across pR.
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  // y (0 ... 1) up from pR's bottom.
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  // Draws, or with measure sets *pR to the text's extent by its alignment. False only when
  // no font can be made.
  bool DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure = false);

  // ---- Resources (any thread; the caches lock themselves) ----
  // The image for ID (decoded once per process; the name is not part of the lookup). An
  // image that cannot be loaded gives a bitmap without data (W = H = 0), reported once per
  // ID on stderr, and is retried on the next call.
  IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  // The cache takes ownership of the bitmap's image (ID -1).
  void RetainBitmap(IBitmap* pBitmap);
  // Deletes the bitmap's image through the cache; an image it does not hold is left alone.
  void ReleaseBitmap(IBitmap* pBitmap);
  // New cached images (vertical strips with the source's frame count).
  IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR);
  // The cached font for the style (found or made), stored in pTxt->mCached; null when the
  // platform has no font.
  Raster_IFont* CacheFont(IText* pTxt);

  // ---- Accessors ----
  IPluginBase* GetPlug() const { return mPlug; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int FPS() const { return mFPS; }
  int GetMouseCapture() const { return mMouseCapture; }
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  bool IsStrictDrawing() const { return mStrict; }

  // Set by the editor description before the window opens.
  bool mHandleMouseOver = false;
  bool mEnableTooltips = false;

protected:
  // Hit test from the top: not hidden, eligible (not greyed, or greyed with
  // mMouseOverWhenGreyed for mouse-over) and IsHit.
  int HitTest(int x, int y, bool mouseOver);
  // The captured control, else the hit-tested one (click rules), else -1.
  int TargetIdx(int x, int y);
  void InsertBackground(IControl* pControl);
  void DeleteControls();
  void DeleteBitmaps();
  bool DrawStrict(IRECT* pR);
  void DrawNonStrict();
  // One cache entry per new image; the image is deleted when it cannot be stored.
  IBitmap CacheDerived(Raster_MemBitmap* bm, int n);

  Util_PtrList<IControl> mControls;  // owned
  IPluginBase* mPlug;                 // not owned
  IRECT mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenCursorX = -1, mHiddenCursorY = -1;
  Raster_IBitmap* mDrawBitmap = nullptr;  // owned
  Raster_MemBitmap* mTmpBitmap = nullptr; // owned
  int mWidth, mHeight;
  int mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  int mLastAutomationParam = -1;
  bool mStrict = true;
  IControl* mKeyCatcher = nullptr;    // owned
};
