// A one-line progress bar on stderr, drawn only when stderr is a terminal and
// the job is long enough to be worth watching. Render thread only.
#pragma once

#include <cstdint>
#include <cstdio>

namespace quenbar {

class Progress {
 public:
  // total: frames to do; minFrames: below this no bar is drawn.
  Progress(int64_t total, int64_t minFrames, FILE* out = stderr);
  ~Progress() { Finish(); }

  void Update(int64_t done);
  // Ends the bar's line; safe to repeat.
  void Finish();

 private:
  int64_t mTotal;
  FILE* mOut;
  bool mEnabled;
  int mLastPercent = -1;
};

}  // namespace quenbar
