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

bool ReadLink(const std::string& path, std::string* target) {
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) < buf.size()) {
      target->assign(buf.data(), static_cast<size_t>(n));
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

// Follows a chain of symbolic links to the name it ends in, which need not
// exist: a dangling link is written through, creating its target. False
// with errno set, ELOOP for a cycle.
bool FollowLinks(const std::string& path, std::string* target) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = p;
      return true;
    }
    std::string link;
    if (!ReadLink(p, &link)) return false;
    const bool relative = !link.empty() && link[0] != '/';
    if (relative && p.find('/') != std::string::npos) link = DirectoryOf(p) + "/" + link;
    p = link;
  }
  errno = ELOOP;
  return false;
}

}  // namespace

bool AtomicFile::Open(const std::string& path, std::string* error) {
  Discard();
  if (path.empty() || path.back() == '/') {
    *error = "cannot write " + path + ": it is a directory";
    return false;
  }
  std::string target;
  if (!FollowLinks(path, &target)) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::string shown = target == path ? path : path + " (a link to " + target + ")";
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    *error = "cannot write " + shown + ": it is a directory";
    return false;
  }
  // The rename in Commit would replace a device or FIFO (/dev/null, say)
  // with a plain file.
  if (exists && !S_ISREG(st.st_mode)) {
    *error = "cannot write " + shown + ": not a regular file";
    return false;
  }
  std::string pattern = DirectoryOf(target) + "/." + BaseOf(target) + ".XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  const int fd = mkstemp(buf.data());
  if (fd < 0) {
    *error = "cannot write " + shown + ": " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private: a replaced file keeps its mode, a new one
  // gets what creating it directly would have given.
  mode_t mode = st.st_mode & 07777;
  if (!exists) {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(fd, mode) != 0) {
    *error = "cannot write " + shown + ": " + std::strerror(errno);
    close(fd);
    unlink(buf.data());
    return false;
  }
  mFd = fd;
  mPath = path;
  mTarget = target;
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
  if (std::rename(mTempPath.c_str(), mTarget.c_str()) != 0) {
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
