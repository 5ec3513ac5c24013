#ifndef QUENBAR_FRAMEWORK_IGRAPHICS_H
#define QUENBAR_FRAMEWORK_IGRAPHICS_H

// The editor as the plug-in base sees it. The plug-in owns the object once
// AttachGraphics has taken it and destroys it with itself.
class IGraphics
{
public:
  virtual ~IGraphics() {}
  // Shows a parameter's value in its linked controls. Called with the plug-in
  // mutex held (AttachGraphics, preset restore) or from the audio thread.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Readies the editor for drawing; called once by AttachGraphics under the mutex.
  virtual void PrepDraw() = 0;
};

#endif
