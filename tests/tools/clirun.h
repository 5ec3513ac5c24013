// Test support: runs the tools' executables and reads and writes small audio
// files, so CLI tests stay short.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace toolstest {

bool FileExists(const std::string& path);

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// For SetUp or a test's start: fails when the build has the bundle target but
// the bundle is missing, skips when this build has no bundle to test.
inline void RequireBundle(const std::string& bundle) {
  if (FileExists(bundle)) return;
#ifdef QUENBAR_BUNDLE_TARGET
  FAIL() << "the bundle target exists but " << bundle << " was not built";
#else
  GTEST_SKIP() << bundle << " does not exist yet (no bundle target in this build)";
#endif
}

struct RunResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

// Runs exe with args (no shell), capturing stdout and stderr.
RunResult RunExecutable(const std::string& exe, const std::vector<std::string>& args);
// RunExecutable for QUENBAR_EXE.
RunResult RunQuenbar(const std::vector<std::string>& args);

// A fresh directory under /tmp, removed with its contents by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return mPath; }
  std::string File(const std::string& name) const { return mPath + "/" + name; }
  // Names of the entries in the directory (no "." or "..").
  std::vector<std::string> List() const;

 private:
  std::string mPath;
};

struct Audio {
  int rate = 44100;
  int channels = 2;
  int format = 0;               // libsndfile format word of the file
  std::vector<double> samples;  // interleaved
  long Frames() const { return channels ? static_cast<long>(samples.size()) / channels : 0; }
};

// Writes interleaved samples; format defaults to 32-bit float WAV.
bool WriteAudio(const std::string& path, const Audio& audio);
bool ReadAudio(const std::string& path, Audio* audio);
// Deterministic test material: a decaying chirp plus noise, within ±0.9.
Audio MakeSignal(int frames, int channels, int rate, unsigned seed = 1);

bool FileExists(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace toolstest
