// A gate a test closes to hold another thread inside a host callback (a
// stream read, a performEdit) for as long as it likes, then opens. Any thread;
// the gate's own mutex guards it. The gate must outlive every Pass() call.
#pragma once

#include <condition_variable>
#include <mutex>

namespace vst3host {

class Gate {
 public:
  // Closed gates hold callers in Pass() until Open().
  void Close() {
    std::lock_guard<std::mutex> lock(mMutex);
    mOpen = false;
  }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mOpen = true;
    }
    mChanged.notify_all();
  }
  // Called by the callback that is to be held.
  void Pass() {
    std::unique_lock<std::mutex> lock(mMutex);
    ++mArrivals;
    mChanged.notify_all();
    mChanged.wait(lock, [this] { return mOpen; });
  }
  // Waits until at least n callers have arrived at the gate in all.
  void WaitForArrivals(int n) {
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [&] { return mArrivals >= n; });
  }
  int Arrivals() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mArrivals;
  }

 private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  bool mOpen = true;
  int mArrivals = 0;
};

}  // namespace vst3host
