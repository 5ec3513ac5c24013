// Text controls: a static label, a caption that shows its parameter's value and prompts for
// a new one, an invisible zone that opens a web address, and a button that opens the file
// dialog.
// Threads: everything here runs on the UI thread (the platform dialogs are modal there).
// The file selector's button image is a view on the bitmap cache, not owned.
#pragma once

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"  // EFileAction

// A line of text drawn with the control's text style.
class ITextControl : public IControl
{
public:
  // UI thread. Copies the whole style (its cached font too); a null style is the default
  // one and a null text is "".
  ITextControl(IPluginBase* plug, IRECT rect, const IText* pText, const char* str = "");
  // UI thread, inside IGraphics::Draw: the text within mRECT; nothing for "".
  bool Draw(IGraphics* pGraphics) override;
  // UI thread: a different text (byte-wise; null counts as "") marks the control dirty and
  // replaces the shown one; the same text changes nothing.
  void SetTextFromPlug(char* str) override;
  // UI thread: the shown text, owned by the control.
  const char* GetTextForPlug() const { return mStr.Get(); }

protected:
  Util_String mStr;
};

// Shows the linked parameter's display text (and its label), rebuilt on every paint. A
// click with either button or a double click opens the value prompt, once the owner
// enables prompts.
class ICaptionControl : public ITextControl
{
public:
  // UI thread. Prompts stay disabled until the owner clears mDisablePrompt.
  ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, const IText* pText, bool showParamLabel = true);
  // UI thread: with L or R, PromptUserInput().
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread: PromptUserInput().
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  // UI thread, inside IGraphics::Draw. Without an existing parameter nothing is drawn.
  bool Draw(IGraphics* pGraphics) override;

protected:
  bool mShowParamLabel;
};

// An invisible click zone that opens a web address, or its backup when that fails.
class IURLControl : public IControl
{
public:
  static constexpr int kURLLen = 256;
  static constexpr int kErrMsgLen = 1024;

  // UI thread. Null texts count as ""; longer texts are cut to 255, 255 and 1023 bytes.
  IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);
  // UI thread: OpenURL(url), then OpenURL(backup) when the first is empty or fails.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread: draws nothing.
  bool Draw(IGraphics* pGraphics) override;

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrMsg() const { return mErrMsg; }

protected:
  char mURL[kURLLen];
  char mBackupURL[kURLLen];
  char mErrMsg[kErrMsgLen];
};

// A button that opens the platform's file dialog. Its value toggles between 0 and 1 on
// every use, chosen or cancelled, so a linked parameter sees each use.
class IFileSelectorControl : public IControl
{
public:
  enum EFileSelectorState : int
  {
    kFSNone = 0,
    kFSSelecting = 1,
    kFSDone = 2
  };

  // UI thread. Null texts count as "".
  IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx, IBitmap* pBitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");
  // UI thread, modal: runs the dialog (the chosen path lands in the last-file text), then
  // toggles the value and pushes it. Nothing without a plug-in or graphics core.
  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  // UI thread, inside IGraphics::Draw: the image's first frame while the dialog is open.
  bool Draw(IGraphics* pGraphics) override;
  // UI thread: dirty, or once more right after a dialog finished.
  bool IsDirty() override;

  // UI thread: the last chosen file, "" when none.
  void GetLastSelectedFileForPlug(Util_String* pStr) const;
  // UI thread: a null file counts as "".
  void SetLastSelectedFileFromPlug(const char* file);
  int GetState() const { return mState; }

protected:
  IBitmap mBitmap;
  Util_String mDir, mFile, mExtensions;
  EFileAction mFileAction;
  int mState = kFSNone;
};
