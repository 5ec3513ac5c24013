// What a command puts into the plug-in before it runs: parameter values
// named on the command line and a saved state. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/host/plugin.h"
#include "tools/quenbar/options.h"

namespace quenbar {

// Reads a state file (at most 1 MiB). False with *error set.
bool ReadStateFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

// The --level/--mix/--tone/--snap values and --bypass as parameter ids and
// normalised values, each checked against the plug-in's range. False with
// *error naming the option.
bool ResolveParameters(const Options& o, vst3host::Plugin& plugin,
                       std::vector<std::pair<Steinberg::Vst::ParamID, double>>* out, std::string* error);

// Sets a created plug-in up as the snapshot pictures show it: the state
// (when o.stateIn is set, its bytes in state) restored, then the named
// values as a host's automation gives them, in one processed block of
// silence. False with *error set.
bool ApplySettings(const Options& o, const std::vector<uint8_t>& state, vst3host::Plugin& plugin,
                   std::string* error);

}  // namespace quenbar
