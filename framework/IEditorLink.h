#ifndef QUENBAR_FRAMEWORK_IEDITORLINK_H
#define QUENBAR_FRAMEWORK_IEDITORLINK_H

namespace Steinberg
{
namespace Linux
{
class IRunLoop;
}
} // namespace Steinberg

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
  // Host main thread, before OpenWindow: the host's run loop that is to drive the
  // editor's timer and window events until CloseWindow. The editor takes its own
  // reference and drops it at CloseWindow; null forgets a loop not yet used. False
  // when the editor has no use for one.
  virtual bool SetHostRunLoop(Steinberg::Linux::IRunLoop* runLoop)
  {
    (void)runLoop;
    return false;
  }
};

#endif
