#include "tools/quenbar/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quenbar {

namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool AtomicFile::Open(const std::string& path, std::string* error) {
  Discard();
  struct stat st;
  const bool exists = !path.empty() && stat(path.c_str(), &st) == 0;
  if (path.empty() || path.back() == '/' || (exists && S_ISDIR(st.st_mode))) {
    *error = "cannot write " + path + ": it is a directory";
    return false;
  }
  // The rename in Commit would replace a device or FIFO (/dev/null, say)
  // with a plain file.
  if (exists && !S_ISREG(st.st_mode)) {
    *error = "cannot write " + path + ": not a regular file";
    return false;
  }
  std::string pattern = DirectoryOf(path) + "/." + BaseOf(path) + ".XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const int fd = mkstemp(buf.data());
  if (fd < 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; give it the permissions a new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  mFd = fd;
  mPath = path;
  mTempPath = buf.data();
  return true;
}

bool AtomicFile::WriteAll(const void* data, size_t size, std::string* error) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(mFd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = "cannot write " + mPath + ": " + std::strerror(errno);
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool AtomicFile::Commit(std::string* error) {
  if (mFd < 0) {
    *error = "internal: commit without an open file";
    return false;
  }
  if (fsync(mFd) != 0 || close(mFd) != 0) {
    mFd = -1;
    *error = "cannot write " + mPath + ": " + std::strerror(errno);
    Discard();
    return false;
  }
  mFd = -1;
  if (std::rename(mTempPath.c_str(), mPath.c_str()) != 0) {
    *error = "cannot write " + mPath + ": " + std::strerror(errno);
    Discard();
    return false;
  }
  mTempPath.clear();
  return true;
}

void AtomicFile::Discard() {
  if (mFd >= 0) close(mFd);
  mFd = -1;
  if (!mTempPath.empty()) unlink(mTempPath.c_str());
  mTempPath.clear();
}

}  // namespace quenbar
