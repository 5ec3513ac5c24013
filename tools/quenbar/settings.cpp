#include "tools/quenbar/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/host/paramchanges.h"

namespace quenbar {

using Steinberg::Vst::ParamID;

namespace {

constexpr long kMaxStateBytes = 1 << 20;

struct ParamSetting {
  const char* option;
  const char* title;
  double plain;
};

}  // namespace

bool ReadStateFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot read state file " + path + ": " + std::strerror(errno);
    return false;
  }
  bytes->clear();
  uint8_t buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) {
    bytes->insert(bytes->end(), buf, buf + n);
    if (static_cast<long>(bytes->size()) > kMaxStateBytes) break;
  }
  const bool bad = std::ferror(f) != 0;
  std::fclose(f);
  if (bad) {
    *error = "cannot read state file " + path;
    return false;
  }
  if (static_cast<long>(bytes->size()) > kMaxStateBytes) {
    *error = "state file " + path + " is larger than 1 MiB: not a plug-in state";
    return false;
  }
  return true;
}

// Resolves the requested values to parameter ids and normalised values.
bool ResolveParameters(const Options& o, vst3host::Plugin& plugin,
                       std::vector<std::pair<ParamID, double>>* out, std::string* error) {
  std::vector<ParamSetting> wanted;
  if (o.level) wanted.push_back({"--level", "Level", *o.level});
  if (o.mix) wanted.push_back({"--mix", "Mix", *o.mix});
  if (o.tone) wanted.push_back({"--tone", "Tone", *o.tone});
  if (o.snap) wanted.push_back({"--snap", "Snap", *o.snap});
  for (const ParamSetting& w : wanted) {
    ParamID id = 0;
    if (!plugin.FindParameter(w.title, &id)) {
      *error = std::string(w.option) + ": the plug-in has no parameter titled \"" + w.title + "\"";
      return false;
    }
    const double lo = plugin.NormalizedToPlain(id, 0.0);
    const double hi = plugin.NormalizedToPlain(id, 1.0);
    if (!CheckRange(w.option, w.plain, lo, hi, error)) return false;
    double norm = plugin.PlainToNormalized(id, w.plain);
    norm = norm < 0.0 ? 0.0 : (norm > 1.0 ? 1.0 : norm);
    out->push_back({id, norm});
  }
  if (o.bypass) {
    // The effect's own Bypass parameter; a plug-in without one gets the host bypass.
    ParamID id = 0;
    if (!plugin.FindParameter("Bypass", &id) && !plugin.FindHostBypass(&id)) {
      *error = "--bypass: the plug-in has no Bypass parameter";
      return false;
    }
    double norm = plugin.PlainToNormalized(id, plugin.NormalizedToPlain(id, 1.0));
    norm = norm < 0.0 ? 0.0 : (norm > 1.0 ? 1.0 : norm);
    out->push_back({id, norm});
  }
  return true;
}

bool ApplySettings(const Options& o, const std::vector<uint8_t>& state, vst3host::Plugin& plugin,
                   std::string* error) {
  if (!o.stateIn.empty() && !plugin.LoadState(state, error)) {
    *error = "state " + o.stateIn + ": the plug-in refused it (not a state of this plug-in, or damaged)";
    return false;
  }
  std::vector<std::pair<ParamID, double>> values;
  if (!ResolveParameters(o, plugin, &values, error)) return false;
  vst3host::ParameterChanges changes;
  for (const auto& v : values)
    if (!changes.Add(v.first, 0, v.second)) {
      *error = "internal: parameter queue full";
      return false;
    }
  vst3host::ProcessSettings settings;
  settings.maxBlock = 64;
  if (!plugin.Start(settings, error)) return false;
  std::vector<float> silence(64, 0.f), outL(64), outR(64);
  void* ins[2] = {silence.data(), silence.data()};
  void* outs[2] = {outL.data(), outR.data()};
  const bool processed = plugin.Process(ins, outs, 64, &changes, error);
  plugin.Stop();
  return processed;
}

}  // namespace quenbar
