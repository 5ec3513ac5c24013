#include "tools/quenbar/progress.h"

#include <unistd.h>

namespace quenbar {

Progress::Progress(int64_t total, int64_t minFrames, FILE* out)
    : mTotal(total), mOut(out), mEnabled(total > 0 && total >= minFrames && isatty(fileno(out))) {}

void Progress::Update(int64_t done) {
  if (!mEnabled) return;
  const int percent = static_cast<int>(done >= mTotal ? 100 : done * 100 / mTotal);
  if (percent == mLastPercent) return;
  mLastPercent = percent;
  constexpr int kWidth = 40;
  char bar[kWidth + 1];
  const int filled = percent * kWidth / 100;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(mOut, "\r[%s] %3d%%", bar, percent);
  std::fflush(mOut);
}

void Progress::Finish() {
  if (!mEnabled || mLastPercent < 0) return;
  std::fputc('\n', mOut);
  std::fflush(mOut);
  mLastPercent = -1;
  mEnabled = false;
}

}  // namespace quenbar
