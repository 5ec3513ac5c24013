// A file that appears under its final name only when complete: written to a
// temporary file in the same directory and renamed over the target by
// Commit(). Dropped without Commit(), or after a failed one, it removes the
// temporary file, so a failed run never leaves a partial or stale output.
// One thread; the object owns the descriptor until it is destroyed.
#pragma once

#include <string>

namespace quenbar {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile() { Discard(); }
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file for path. False with *error set when the
  // directory is missing or not writable, or path names a directory, a
  // device or anything else that is not a regular file.
  bool Open(const std::string& path, std::string* error);
  int Fd() const { return mFd; }
  const std::string& TempPath() const { return mTempPath; }

  bool WriteAll(const void* data, size_t size, std::string* error);
  // Flushes, closes and renames the temporary file onto the target path.
  bool Commit(std::string* error);
  // Closes and removes the temporary file; safe to repeat.
  void Discard();

 private:
  int mFd = -1;
  std::string mPath;
  std::string mTempPath;
};

}  // namespace quenbar
