// quenbar-demo-signal: writes a short stereo test signal for the demo: a
// drum-like pattern (pitched kick, noise hats), a slow sine sweep and a bass
// line, as 32-bit float WAV. Deterministic: the same file on every run.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Small deterministic noise source (xorshift), so the demo never changes.
struct Noise {
  uint32_t s = 0x12345678u;
  double Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return static_cast<double>(s) / 2147483648.0 - 1.0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: quenbar-demo-signal OUT.wav [SECONDS (default 6)] [RATE (default 44100)]\n");
    return 2;
  }
  const double seconds = argc > 2 ? std::atof(argv[2]) : 6.0;
  const int rate = argc > 3 ? std::atoi(argv[3]) : 44100;
  if (!(seconds > 0.0 && seconds <= 600.0) || rate < 8000 || rate > 384000) {
    std::fprintf(stderr, "quenbar-demo-signal: seconds must be in (0, 600] and rate in 8000 … 384000\n");
    return 2;
  }
  const int64_t frames = static_cast<int64_t>(seconds * rate);
  std::vector<float> buf(static_cast<size_t>(frames) * 2);
  Noise noise;
  const double beat = 0.5;  // 120 beats per minute
  const double bassNotes[4] = {55.0, 55.0, 73.42, 65.41};
  double sweepPhase = 0.0, bassPhase = 0.0;
  for (int64_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double inBeat = std::fmod(t, beat);
    const int beatIndex = static_cast<int>(t / beat);
    // Kick: a sine falling from 150 Hz to 50 Hz with a fast decay.
    const double kickFreq = 50.0 + 100.0 * std::exp(-inBeat * 30.0);
    const double kick = 0.9 * std::exp(-inBeat * 8.0) * std::sin(2.0 * kPi * kickFreq * inBeat);
    // Hats on the off-beat: short noise bursts.
    const double inHat = std::fmod(t + beat / 2.0, beat);
    const double hat = 0.25 * std::exp(-inHat * 60.0) * noise.Next();
    // Sweep from 100 Hz to 5 kHz over the whole file, quietly.
    const double sweepFreq = 100.0 * std::pow(50.0, t / seconds);
    sweepPhase += 2.0 * kPi * sweepFreq / rate;
    const double sweep = 0.15 * std::sin(sweepPhase);
    // Bass: one note per beat, a square-ish tone.
    bassPhase += 2.0 * kPi * bassNotes[beatIndex % 4] / rate;
    const double bass = 0.2 * std::tanh(3.0 * std::sin(bassPhase)) * std::exp(-inBeat * 2.0);
    // Overall gain keeps the sum's peaks near 0.7, well below full scale.
    const double fadeOut = 0.55 * std::fmin(1.0, (seconds - t) / 0.05);
    buf[static_cast<size_t>(i) * 2] = static_cast<float>((kick + bass + 0.8 * hat + sweep) * fadeOut);
    buf[static_cast<size_t>(i) * 2 + 1] = static_cast<float>((kick + bass + 1.2 * hat - sweep) * fadeOut);
  }
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(argv[1], SFM_WRITE, &info);
  if (!f) {
    std::fprintf(stderr, "quenbar-demo-signal: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  const sf_count_t written = sf_writef_float(f, buf.data(), frames);
  const int closeErr = sf_close(f);
  if (written != frames || closeErr != 0) {
    std::fprintf(stderr, "quenbar-demo-signal: cannot write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  std::printf("wrote %s: %.1f s stereo, %d Hz, 32-bit float (kick, hats, bass, sine sweep)\n",
              argv[1], seconds, rate);
  return 0;
}
