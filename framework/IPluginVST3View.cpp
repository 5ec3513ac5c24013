#include "framework/IPluginVST3View.h"

#include <cstring>

#include "framework/IEditorLink.h"

using namespace Steinberg;

IPluginVST3View::IPluginVST3View(IPluginVST3* owner) : CPluginView(nullptr), mOwner(owner)
{
  if (mOwner) mOwner->addRef();
}

IPluginVST3View::~IPluginVST3View()
{
  if (mOwner)
  {
    mOwner->removeDependentView(this);
    mOwner->release();
  }
}

tresult PLUGIN_API IPluginVST3View::isPlatformTypeSupported(FIDString type)
{
  if (!mOwner || !mOwner->GetGraphics() || !type) return kResultFalse;
  return strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::attached(void* parent, FIDString type)
{
  IEditorLink* editor = mOwner ? mOwner->GetGraphics() : nullptr;
  if (!editor || !type || isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
  // On X11 the host's run loop drives the editor; without one it could never
  // repaint or see an event, so the host is told no rather than left hanging.
  FUnknownPtr<Linux::IRunLoop> runLoop(plugFrame);
  if (!runLoop || !editor->SetHostRunLoop(runLoop)) return kResultFalse;
  if (!editor->OpenWindow(parent))
  {
    editor->SetHostRunLoop(nullptr);
    return kResultFalse;
  }
  mOwner->OnGUIOpen();
  return kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::removed()
{
  if (IEditorLink* editor = mOwner ? mOwner->GetGraphics() : nullptr)
  {
    mOwner->OnGUIClose();
    editor->CloseWindow();
  }
  return CPluginView::removed();
}

tresult PLUGIN_API IPluginVST3View::getSize(ViewRect* size)
{
  IEditorLink* editor = mOwner ? mOwner->GetGraphics() : nullptr;
  if (!editor || !size) return kResultFalse;
  size->left = 0;
  size->top = 0;
  size->right = editor->Width();
  size->bottom = editor->Height();
  return kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::onSize(ViewRect* newSize)
{
  if (newSize)
  {
    rect = *newSize;
    if (mResizePending)
    {
      mResizePending = false;
      if (mOwner) mOwner->OnWindowResize();
    }
  }
  return kResultTrue;
}

void IPluginVST3View::resize(int w, int h)
{
  if (!plugFrame) return;
  mResizePending = true;
  ViewRect r(0, 0, w, h);
  plugFrame->resizeView(this, &r);
}
