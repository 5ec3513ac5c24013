// An X server for programs that show editors where no desktop is: $DISPLAY
// when it is set, otherwise a private Xvfb on a display number the server
// picks itself. Host main thread. The PrivateXServer owns the child process
// and kills and reaps it when stopped or destroyed.
#pragma once

#include <sys/types.h>

#include <string>

namespace vst3host {

class PrivateXServer {
 public:
  PrivateXServer() = default;
  ~PrivateXServer() { Stop(); }
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // Starts `Xvfb :N -screen 0 1024x768x24 -nolisten tcp -displayfd FD` (Xvfb
  // found on PATH) and waits up to timeoutMs until it accepts connections.
  // False with *error set, and nothing left running, when Xvfb is missing,
  // exits or stays silent.
  bool Start(std::string* error, int timeoutMs = 10000);
  // Terminates the server (killed when it does not go within a second) and
  // reaps it. Safe to repeat.
  void Stop();

  bool Running() const { return mPid > 0; }
  // ":N" once started.
  const std::string& DisplayName() const { return mDisplayName; }

 private:
  pid_t mPid = -1;
  std::string mDisplayName;
};

// The display to use: $DISPLAY when set and not empty; otherwise *server is
// started and DISPLAY set to it, so the plug-ins' own connections reach the
// same server. *name gets the display name. False with *error set.
bool ChooseXServer(PrivateXServer* server, std::string* name, std::string* error);

}  // namespace vst3host
