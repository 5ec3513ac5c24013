#include "platform/IGraphicsLinux.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/paths.h"
#include "raster/png.h"

namespace
{
std::string& ProcessResourceDir()
{
  static std::string dir;
  return dir;
}
} // namespace

void IGraphicsLinux::SetProcessResourceDir(const char* dir)
{
  ProcessResourceDir() = dir ? dir : "";
}

IGraphicsLinux::IGraphicsLinux(IPluginBase* plug, int width, int height, int fps)
  : IGraphics(plug, width, height, fps)
{
  if (!ProcessResourceDir().empty()) mResourceDir.Set(ProcessResourceDir().c_str());
}

IGraphicsLinux::~IGraphicsLinux()
{
  CloseWindow();
}

void IGraphicsLinux::HostPath(Util_String* pPath)
{
  if (!pPath) return;
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return;
  buf[n] = 0;
  pPath->Set(buf);
}

void IGraphicsLinux::PluginPath(Util_String* pPath)
{
  if (!pPath) return;
  const std::string module = platform::ModulePath();
  std::string bundle = platform::BundleDirOf(module);
  // Linked into a program rather than loaded as a bundle: the program's folder.
  if (bundle.empty()) bundle = module;
  const size_t slash = bundle.find_last_of('/');
  if (slash == std::string::npos) return;
  pPath->Set(bundle.substr(0, slash + 1).c_str());
}

void IGraphicsLinux::DesktopPath(Util_String* pPath)
{
  if (pPath) pPath->Set(platform::UserDir("XDG_DESKTOP_DIR", "Desktop").c_str());
}

void IGraphicsLinux::AppSupportPath(Util_String* pPath, bool isSystem)
{
  if (!pPath) return;
  if (isSystem)
  {
    const char* dirs = getenv("XDG_DATA_DIRS");
    std::string first = dirs && *dirs == '/' ? std::string(dirs).substr(0, strcspn(dirs, ":")) : "/usr/local/share";
    pPath->Set(first.c_str());
    return;
  }
  const char* home = getenv("XDG_DATA_HOME");
  pPath->Set(home && *home == '/' ? home : (platform::HomeDir() + "/.local/share").c_str());
}

void IGraphicsLinux::SandboxSafeAppSupportPath(Util_String* pPath)
{
  if (pPath) pPath->Set(platform::UserDir("XDG_MUSIC_DIR", "Music").c_str());
}

bool IGraphicsLinux::OpenURL(const char* url, const char*, const char*, const char*)
{
  if (!url || !*url) return false;
  // xdg-open takes a web address and a file path alike, so both go as given.
  const std::string target(url);
  // Double fork: the grandchild runs xdg-open and is reaped by init, so the
  // host never waits and never collects a zombie of ours.
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0)
  {
    close(status[0]);
    close(status[1]);
    return false;
  }
  if (child == 0)
  {
    close(status[0]);
    const pid_t grandchild = fork();
    if (grandchild == 0)
    {
      setsid();
      const int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0)
      {
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      execlp("xdg-open", "xdg-open", target.c_str(), (char*)nullptr);
      const int err = errno;
      (void)!write(status[1], &err, sizeof(err));
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(status[1]);
  int childStatus = 0;
  while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR)
  {
  }
  // The pipe closes on a successful exec; an errno arrives when it failed.
  int err = 0;
  ssize_t n;
  while ((n = read(status[0], &err, sizeof(err))) < 0 && errno == EINTR)
  {
  }
  close(status[0]);
  return WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0 && n == 0;
}

const char* IGraphicsLinux::GetResourceDir()
{
  if (!mResourceDir.GetLength())
  {
    const std::string module = platform::ModulePath();
    std::string bundle = platform::BundleDirOf(module);
    if (bundle.empty())
      bundle = platform::FindBundleNear(module, platform::BundleNameOf(mBundleIdentifier.Get()));
    if (!bundle.empty()) mResourceDir.Set((bundle + "/Contents/Resources").c_str());
  }
  return mResourceDir.Get();
}

Raster_IBitmap* IGraphicsLinux::OSLoadBitmap(int, const char* name)
{
  if (!name) return nullptr;
  const char* dot = strrchr(name, '.');
  const char* ext = dot ? dot + 1 : name;
  if (strcasecmp(ext, "png") != 0) return nullptr;
  const char* slash = strrchr(name, '/');
  const char* base = slash ? slash + 1 : name;
  const std::string stem(base, dot && dot > base ? (size_t)(dot - base) : strlen(base));
  if (stem.empty()) return nullptr;
  const char* dir = GetResourceDir();
  if (!dir || !*dir) return nullptr;
  const std::string path = std::string(dir) + "/resources/img/" + stem + ".png";
  return Raster_LoadPNG(path.c_str());
}
