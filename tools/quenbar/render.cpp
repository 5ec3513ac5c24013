#include <sndfile.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/host/paramchanges.h"
#include "tools/host/session.h"
#include "tools/quenbar/atomicfile.h"
#include "tools/quenbar/commands.h"
#include "tools/quenbar/headerframes.h"
#include "tools/quenbar/outformat.h"
#include "tools/quenbar/settings.h"
#include "tools/quenbar/progress.h"

namespace quenbar {

volatile std::sig_atomic_t gInterrupted = 0;

namespace {

using Steinberg::Vst::ParamID;

struct SndCloser {
  SNDFILE* f = nullptr;
  ~SndCloser() {
    if (f) sf_close(f);
  }
};

template <class T>
sf_count_t ReadFrames(SNDFILE* f, T* buf, sf_count_t frames);
template <>
sf_count_t ReadFrames<float>(SNDFILE* f, float* buf, sf_count_t frames) {
  return sf_readf_float(f, buf, frames);
}
template <>
sf_count_t ReadFrames<double>(SNDFILE* f, double* buf, sf_count_t frames) {
  return sf_readf_double(f, buf, frames);
}
template <class T>
sf_count_t WriteFrames(SNDFILE* f, const T* buf, sf_count_t frames);
template <>
sf_count_t WriteFrames<float>(SNDFILE* f, const float* buf, sf_count_t frames) {
  return sf_writef_float(f, buf, frames);
}
template <>
sf_count_t WriteFrames<double>(SNDFILE* f, const double* buf, sf_count_t frames) {
  return sf_writef_double(f, buf, frames);
}

// Reads, processes and writes the whole file in blocks, until the input
// runs out; *done counts the frames. The first block carries the parameter
// changes; at least one block runs, even for an empty file.
template <class T>
bool RenderBlocks(SNDFILE* in, SNDFILE* out, int channels, int block, int64_t totalFrames,
                  int sampleRate, vst3host::Plugin& plugin, vst3host::ParameterChanges& changes,
                  int64_t* done, std::string* error) {
  const size_t n = static_cast<size_t>(block);
  const size_t ch = static_cast<size_t>(channels);
  std::vector<T> interleaved(n * ch);
  std::vector<T> inBuf(n * ch), outBuf(n * ch);
  void* inPtrs[2] = {inBuf.data(), inBuf.data() + (ch > 1 ? n : 0)};
  void* outPtrs[2] = {outBuf.data(), outBuf.data() + (ch > 1 ? n : 0)};
  // A bar only for files of ten seconds or more.
  Progress progress(totalFrames, int64_t{10} * sampleRate);
  *done = 0;
  bool first = true;
  for (;;) {
    if (gInterrupted) {
      *error = "interrupted";
      return false;
    }
    const sf_count_t got = ReadFrames<T>(in, interleaved.data(), static_cast<sf_count_t>(block));
    if (got < 0 || (got == 0 && sf_error(in) != SF_ERR_NO_ERROR)) {
      *error = std::string("cannot read input: ") + sf_strerror(in);
      return false;
    }
    if (got == 0 && !first) break;
    const size_t frames = static_cast<size_t>(got);
    for (size_t i = 0; i < frames; ++i)
      for (size_t c = 0; c < ch; ++c) inBuf[c * n + i] = interleaved[i * ch + c];
    if (!plugin.Process(inPtrs, outPtrs, static_cast<int>(frames), &changes, error)) return false;
    changes.Clear();
    first = false;
    for (size_t i = 0; i < frames; ++i)
      for (size_t c = 0; c < ch; ++c) interleaved[i * ch + c] = outBuf[c * n + i];
    if (frames > 0 &&
        WriteFrames<T>(out, interleaved.data(), static_cast<sf_count_t>(frames)) != got) {
      *error = std::string("cannot write output: ") + sf_strerror(out);
      return false;
    }
    *done += static_cast<int64_t>(frames);
    progress.Update(*done);
  }
  progress.Finish();
  return true;
}

}  // namespace

int RunRender(const Options& o, const std::string& bundlePath, FILE* out) {
  std::string error;

  // Everything that can be checked without the plug-in is checked first.
  SF_INFO inInfo{};
  SndCloser in;
  in.f = sf_open(o.input.c_str(), SFM_READ, &inInfo);
  if (!in.f) return Fail("cannot read input " + o.input + ": " + sf_strerror(nullptr));
  if (inInfo.channels != 1 && inInfo.channels != 2)
    return Fail("input " + o.input + " has " + std::to_string(inInfo.channels) +
                " channels; only mono and stereo are supported");
  if (inInfo.samplerate <= 0) return Fail("input " + o.input + " has no valid sample rate");

  std::vector<uint8_t> state;
  if (!o.stateIn.empty() && !ReadStateFile(o.stateIn, &state, &error)) return Fail(error);

  const bool use64 = o.precision == 64;
  std::string note;
  SF_INFO outInfo{};
  outInfo.samplerate = inInfo.samplerate;
  outInfo.channels = inInfo.channels;
  if (!ChooseOutputFormat(o.output, inInfo, use64, &outInfo.format, &note, &error))
    return Fail(error);
  const int64_t promised = HeaderFrames(in.f, inInfo);

  AtomicFile outFile;
  if (!outFile.Open(o.output, &error)) return Fail(error);
  AtomicFile stateFile;
  if (!o.stateOut.empty() && !stateFile.Open(o.stateOut, &error)) return Fail(error);
  if (!note.empty()) std::fprintf(stderr, "quenbar: note: %s\n", note.c_str());

  SndCloser sndOut;
  sndOut.f = sf_open_fd(outFile.Fd(), SFM_WRITE, &outInfo, SF_FALSE);
  if (!sndOut.f) return Fail("cannot write output " + o.output + ": " + sf_strerror(nullptr));
  // Integer formats clip instead of wrapping around when the effect goes above full scale.
  sf_command(sndOut.f, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  vst3host::Session session;
  if (!session.Open(bundlePath, &error)) return Fail(error);
  vst3host::Plugin& plugin = session.plugin;

  std::vector<std::pair<ParamID, double>> values;
  if (!ResolveParameters(o, plugin, &values, &error)) return Fail(error);

  vst3host::ProcessSettings settings;
  settings.sampleRate = static_cast<double>(inInfo.samplerate);
  settings.channels = inInfo.channels;
  settings.use64 = use64;
  settings.maxBlock = o.block;
  if (!plugin.Start(settings, &error)) return Fail(error);
  if (!o.stateIn.empty() && !plugin.LoadState(state, &error))
    return Fail("state " + o.stateIn +
                ": the plug-in refused it (not a state of this plug-in, or damaged); "
                "nothing was rendered");

  vst3host::ParameterChanges changes;
  for (const auto& v : values) {
    plugin.Controller()->setParamNormalized(v.first, v.second);
    if (!changes.Add(v.first, 0, v.second)) return Fail("internal: parameter queue full");
  }

  int64_t rendered = 0;
  const bool ok = use64 ? RenderBlocks<double>(in.f, sndOut.f, inInfo.channels, o.block,
                                               inInfo.frames, inInfo.samplerate, plugin, changes,
                                               &rendered, &error)
                        : RenderBlocks<float>(in.f, sndOut.f, inInfo.channels, o.block,
                                              inInfo.frames, inInfo.samplerate, plugin, changes,
                                              &rendered, &error);
  plugin.Stop();
  if (!ok) return Fail(error);
  if (rendered < promised)
    std::fprintf(stderr,
                 "quenbar: warning: %s: header promises %lld frames but only %lld could be read; "
                 "rendered what was there\n",
                 o.input.c_str(), static_cast<long long>(promised),
                 static_cast<long long>(rendered));

  if (!o.stateOut.empty()) {
    std::vector<uint8_t> saved;
    if (!plugin.SaveState(&saved, &error)) return Fail("--save-state: " + error);
    if (!stateFile.WriteAll(saved.data(), saved.size(), &error)) return Fail(error);
  }
  const int closeErr = sf_close(sndOut.f);
  sndOut.f = nullptr;
  if (closeErr != 0) return Fail("cannot write output " + o.output + ": " + sf_error_number(closeErr));
  if (!outFile.Commit(&error)) return Fail(error);
  if (!o.stateOut.empty() && !stateFile.Commit(&error)) return Fail(error);

  std::fprintf(out, "rendered %s -> %s: %lld frames, %s, %d Hz, %d-bit processing\n",
               o.input.c_str(), o.output.c_str(), static_cast<long long>(rendered),
               inInfo.channels == 1 ? "mono" : "stereo", inInfo.samplerate, o.precision);
  return 0;
}

}  // namespace quenbar
