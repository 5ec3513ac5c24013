#include "tools/quenbar/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

}  // namespace quenbar
