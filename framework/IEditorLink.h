#ifndef QUENBAR_FRAMEWORK_IEDITORLINK_H
#define QUENBAR_FRAMEWORK_IEDITORLINK_H

// What the plug-in base needs of its editor: the graphics core (graphics/IGraphics.h)
// implements it, so the framework never depends on the graphics library. The plug-in owns
// the object once AttachGraphics has taken it and destroys it with itself.
class IEditorLink
{
public:
  // The owning plug-in's destructor (host main thread).
  virtual ~IEditorLink() {}
  // Shows a parameter's value in its linked controls. Called with the plug-in mutex held
  // (AttachGraphics, preset restore, state restore) or from the audio thread inside process.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Readies the editor for drawing; called once by AttachGraphics under the mutex.
  virtual void PrepDraw() = 0;

  // What the host's editor view needs (host main thread, no lock): the
  // editor's size, and opening it in the host's window (null when it
  // cannot) and closing it. An editor without a window layer answers with
  // these defaults.
  virtual int Width() const { return 0; }
  virtual int Height() const { return 0; }
  virtual void* OpenWindow(void* pParentWnd)
  {
    (void)pParentWnd;
    return nullptr;
  }
  virtual void CloseWindow() {}
};

#endif
