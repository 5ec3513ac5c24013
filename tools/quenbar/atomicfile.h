// A file that appears under its final name only when complete: written to a
// temporary file in the same directory and renamed over the target by
// Commit(). Dropped without Commit(), or after a failed one, it removes the
// temporary file, so a failed run never leaves a partial or stale output.
// A symbolic link is followed to the file it finally names, so the link stays
// a link; a replaced file keeps its mode, a new one gets 0666 less the umask.
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

  // Creates the temporary file for path, or for the file a link at path
  // leads to (which may not exist yet). False with *error set when that
  // file's directory is missing or not writable, the links form a loop, or
  // it is a directory, a device or anything else that is not a regular file.
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
  std::string mPath;    // as given, for messages
  std::string mTarget;  // what the rename replaces: mPath with its links followed
  std::string mTempPath;
};

}  // namespace quenbar
