#include "graphics_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

TempImageDir::TempImageDir()
{
  char tmpl[] = "/tmp/quenbar_gfx_XXXXXX";
  const char* dir = mkdtemp(tmpl);
  mPath = dir ? dir : "/tmp";
}

TempImageDir::~TempImageDir()
{
  for (const std::string& f : mFiles) std::remove(f.c_str());
  rmdir(mPath.c_str());
}

void TempImageDir::WriteRaw(const std::string& name, const std::string& bytes)
{
  const std::string path = mPath + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  mFiles.push_back(path);
}
