#include "platform/paths.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform
{

std::string HomeDir()
{
  if (const char* h = getenv("HOME"); h && *h) return h;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
  return "/";
}

namespace
{
// "$HOME/Desktop" or "/abs/path", as user-dirs.dirs writes them.
std::string Expand(std::string v)
{
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  if (v.rfind("$HOME", 0) == 0) return HomeDir() + v.substr(5);
  return v;
}
} // namespace

std::string UserDir(const char* key, const char* fallback)
{
  if (const char* e = getenv(key); e && *e == '/') return e;
  const char* cfg = getenv("XDG_CONFIG_HOME");
  const std::string file = (cfg && *cfg == '/' ? std::string(cfg) : HomeDir() + "/.config") + "/user-dirs.dirs";
  if (FILE* f = fopen(file.c_str(), "r"))
  {
    char line[1024];
    const size_t keyLen = strlen(key);
    std::string found;
    while (fgets(line, sizeof(line), f))
    {
      if (strncmp(line, key, keyLen) || line[keyLen] != '=') continue;
      std::string v = line + keyLen + 1;
      while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
      found = Expand(v);
    }
    fclose(f);
    if (!found.empty() && found[0] == '/') return found;
  }
  return HomeDir() + "/" + fallback;
}

std::string ModulePath()
{
  Dl_info info {};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) && info.dli_fname && *info.dli_fname)
  {
    char resolved[4096];
    if (realpath(info.dli_fname, resolved)) return resolved;
    return info.dli_fname;
  }
  return "";
}

std::string BundleDirOf(const std::string& modulePath)
{
  // BUNDLE.vst3/Contents/<arch>/NAME.so
  std::string dir = modulePath;
  for (int up = 0; up < 3; ++up)
  {
    const size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return "";
    dir.erase(slash);
    if (up == 1 && dir.size() >= 9 && dir.compare(dir.size() - 9, 9, "/Contents") != 0) return "";
  }
  return dir.size() > 5 && dir.compare(dir.size() - 5, 5, ".vst3") == 0 ? dir : "";
}

std::string BundleNameOf(const char* bundleID)
{
  if (!bundleID || !*bundleID) return "";
  const char* dot = strrchr(bundleID, '.');
  const std::string name = dot ? dot + 1 : bundleID;
  return name.empty() ? "" : name + ".vst3";
}

std::string FindBundleNear(const std::string& programPath, const std::string& bundleName)
{
  if (bundleName.empty()) return "";
  std::string dir = programPath;
  for (int up = 0; up < 5; ++up)
  {
    const size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos) return "";
    dir.erase(slash);
    const std::string candidate = (dir.empty() ? std::string() : dir) + "/" + bundleName;
    struct stat st;
    if (stat((candidate + "/Contents/Resources").c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return candidate;
    if (dir.empty()) return "";
  }
  return "";
}

} // namespace platform
