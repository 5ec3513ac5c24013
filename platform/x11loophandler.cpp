#include "platform/x11loophandler.h"

using namespace Steinberg;

void PLUGIN_API X11LoopHandler::onTimer()
{
  if (mTarget) mTarget->OnLoopTimer();
}

void PLUGIN_API X11LoopHandler::onFDIsSet(Linux::FileDescriptor)
{
  if (mTarget) mTarget->OnLoopFd();
}

tresult PLUGIN_API X11LoopHandler::queryInterface(const TUID iid, void** obj)
{
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Linux::ITimerHandler::iid))
    *obj = static_cast<Linux::ITimerHandler*>(this);
  else if (FUnknownPrivate::iidEqual(iid, Linux::IEventHandler::iid))
    *obj = static_cast<Linux::IEventHandler*>(this);
  else
  {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

uint32 PLUGIN_API X11LoopHandler::addRef()
{
  return ++mRefs;
}

uint32 PLUGIN_API X11LoopHandler::release()
{
  const uint32 left = --mRefs;
  if (left == 0) delete this;
  return left;
}
