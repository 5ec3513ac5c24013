// The base of every editor control: value model, parameter links, dirty/redraw bookkeeping
// and the default mouse behaviour. Derived families live in their own files.
// Threads: mouse and key handlers, Draw, SetDirty, SetClean, IsDirty and prompts run on the
// UI thread. SetValueFromPlug and SetAuxParamValueFromPlug may run on the audio thread or the
// host's main thread with the plug-in mutex held. The values, clamp bounds and the dirty,
// redraw, hide and grey flags are relaxed atomics shared lock-free between those threads:
// a value written by the plug-in side is picked up by the UI thread's next IsDirty.
// Ownership: IGraphics owns its attached controls; a control does not own its plug-in,
// its value/name display partners or the images it draws.
#pragma once

#include <atomic>

#include "graphics/IGraphicsStructs.h"
#include "util/ptrlist.h"
#include "util/utilstring.h"

class IPluginBase;
class IParam;
class IGraphics;

class IControl
{
public:
  // One auxiliary parameter link; the value is shared with the plug-in side like mValue.
  struct AuxParam
  {
    std::atomic<double> mValue{0.0};
    int mParamIdx;

    explicit AuxParam(int paramIdx) : mParamIdx(paramIdx) {}
    double GetValue() const { return mValue.load(std::memory_order_relaxed); }
    void SetValue(double v) { mValue.store(v, std::memory_order_relaxed); }
  };

  // UI thread (editor description). Every member not named here gets its documented default.
  IControl(IPluginBase* plug, IRECT rect, int paramIdx = -1,
           IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendDefault);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual slots, in this order ----
  // UI thread (the owning IGraphics, or the editor description before attaching).
  virtual ~IControl();
  // UI thread. With the R modifier: PromptUserInput().
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int x, int y, IMouseMod* pMod);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod);
  // UI thread. Restores mDefaultValue (when one is known) and pushes it to the host.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  virtual void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseMod* pMod);
  virtual void OnMouseOut();
  // UI thread, inside IGraphics::Draw: paints into the core's drawing bitmap.
  virtual bool Draw(IGraphics* pGraphics) = 0;
  // Audio or host main thread with the plug-in mutex held, or the UI thread: shows a
  // normalised value without echoing it to the host. The first value ever received also
  // becomes the default.
  virtual void SetValueFromPlug(double value);
  // UI thread (prompts, IGraphics::SetParameterFromGUI): sets the value and pushes it.
  virtual void SetValueFromUserInput(double value);
  // UI thread: text typed into an entry opened without a parameter.
  virtual void TextFromTextEntry(const char* txt);
  // UI thread.
  virtual void Hide(bool hide);
  // UI thread: greyed controls draw at quarter opacity and take no clicks.
  virtual void GrayOut(bool gray);
  // UI thread: mTargetRECT contains the point.
  virtual bool IsHit(int x, int y);
  // Any of the threads above (SetValueFromPlug calls it with false): clamps mValue, marks
  // the control dirty and, with pushParamToPlug (UI thread only), informs the plug-in and
  // refreshes the value and name display partners.
  virtual void SetDirty(bool pushParamToPlug = true);
  // UI thread, after painting: stays dirty for one more cycle when a redraw was requested.
  virtual void SetClean();
  // UI thread.
  virtual bool IsDirty();
  virtual void OnGUIIdle();
  // Same threads as SetValueFromPlug. auxIdx out of range is ignored.
  virtual void SetAuxParamValueFromPlug(int auxIdx, double value);
  // UI thread: how SetDirty updates a value or name display partner. Text controls override
  // it (same signature): when str differs from the shown text, SetDirty(false) and replace
  // it; equal text changes nothing. The base shows no text and ignores it.
  virtual void SetTextFromPlug(char* str) { (void)str; }

  // ---- Prompts (UI thread) ----
  // Opens a value prompt over the control (a menu for parameters with display texts, else a
  // 40 x 16 text box centred on mRECT). Nothing without a parameter or with prompts disabled.
  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

  // ---- Auxiliary links (editor description, UI thread) ----
  // Appends a link; false when it cannot be stored.
  bool AddAuxParam(int paramIdx);
  // Null for an index outside the list.
  AuxParam* GetAuxParam(int idx) const { return mAuxParams.Get(idx); }
  int NAuxParams() const { return mAuxParams.GetSize(); }
  // First link to paramIdx, or -1.
  int AuxParamIdx(int paramIdx) const;
  // UI thread: SetParameterFromGUI for every link, in order.
  void SetAllAuxParamsFromGUI();

  // ---- Accessors; the atomics read and write with relaxed order (any thread) ----
  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  void SetValue(double v) { mValue.store(v, std::memory_order_relaxed); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_relaxed); }
  void SetDefaultValue(double v) { mDefaultValue.store(v, std::memory_order_relaxed); }
  double GetClampLo() const { return mClampLo.load(std::memory_order_relaxed); }
  double GetClampHi() const { return mClampHi.load(std::memory_order_relaxed); }
  // Applied at the next SetDirty.
  void Clamp(double lo, double hi)
  {
    mClampLo.store(lo, std::memory_order_relaxed);
    mClampHi.store(hi, std::memory_order_relaxed);
  }
  bool GetDirtyFlag() const { return mDirty.load(std::memory_order_relaxed); }
  void SetDirtyFlag(bool dirty) { mDirty.store(dirty, std::memory_order_relaxed); }
  bool GetRedraw() const { return mRedraw.load(std::memory_order_relaxed); }
  void SetRedraw(bool redraw) { mRedraw.store(redraw, std::memory_order_relaxed); }
  bool IsHidden() const { return mHide.load(std::memory_order_relaxed); }
  bool IsGrayed() const { return mGrayed.load(std::memory_order_relaxed); }

  IPluginBase* GetPlug() const { return mPlug; }
  // The plug-in's attached graphics core, or null (none attached yet, or not an IGraphics).
  IGraphics* GetGUI() const;
  // The linked parameter, or null.
  IParam* GetParam() const;
  int ParamIdx() const { return mParamIdx; }
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  void SetTargetRECT(const IRECT& r) { mTargetRECT = r; }
  IText* GetText() { return &mText; }
  void SetText(const IText* text) { if (text) mText = *text; }
  IChannelBlend* GetBlend() { return &mBlend; }
  const char* GetTooltip() const { return mTooltip.Get(); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip); }

  // Settable by the editor description before the window opens.
  int mEntryMaxLength = 7;

  // Public so the editor description can wire them; not owned.
  IControl* mValueDisplay = nullptr;  // a text control showing "value label"
  IControl* mNameDisplay = nullptr;   // a text control showing the parameter's name
  bool mDisablePrompt = true;
  bool mDoubleClickAsClick = false;
  bool mMouseOverWhenGreyed = false;

protected:
  IText mText;
  IPluginBase* mPlug;
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  Util_PtrList<AuxParam> mAuxParams;  // owned
  std::atomic<double> mValue{0.0};
  std::atomic<double> mDefaultValue{-1.0};
  std::atomic<double> mClampLo{0.0};
  std::atomic<double> mClampHi{1.0};
  std::atomic<bool> mDirty{true};
  std::atomic<bool> mHide{false};
  std::atomic<bool> mGrayed{false};
  std::atomic<bool> mRedraw{false};
  IChannelBlend mBlend;
  Util_String mTooltip;
};
