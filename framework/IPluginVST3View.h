#ifndef QUENBAR_FRAMEWORK_IPLUGINVST3VIEW_H
#define QUENBAR_FRAMEWORK_IPLUGINVST3VIEW_H

#include "framework/IPluginVST3.h"
#include "public.sdk/source/common/pluginview.h"

// The editor view a host asks for with createView("editor"): opens the
// plug-in's editor inside the host's window, reports its size and carries
// the plug-in's resize requests to the host frame. Host main thread only.
// Reference counted (starts at 1, the host's); the view holds one reference
// on its plug-in for as long as it lives and registers itself with it.
class IPluginVST3View : public Steinberg::CPluginView, public IPluginVST3ViewHooks
{
public:
  explicit IPluginVST3View(IPluginVST3* owner);
  ~IPluginVST3View() override;

  // "X11EmbedWindowID" when the plug-in has an editor; every other type is
  // refused, so hosts keep their generic parameter view.
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
  // Opens the editor in the host's X window (the parent is its Window id),
  // driven by the run loop the host frame offers; kResultFalse without an
  // editor, a frame offering a run loop, or a window.
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
  // The editor's full size, whether or not it is open.
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

  // IPluginVST3ViewHooks.
  Steinberg::IPlugView* GetPlugView() override { return this; }
  // Asks the host frame for w x h; the plug-in hears OnWindowResize once
  // the host answers with onSize.
  void resize(int w, int h) override;

  OBJ_METHODS(IPluginVST3View, CPluginView)
  REFCOUNT_METHODS(CPluginView)

private:
  IPluginVST3* mOwner;
  bool mResizePending = false;
};

#endif
