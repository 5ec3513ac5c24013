#include "tools/host/session.h"
#include "tools/host/strings.h"
#include "tools/quenbar/commands.h"

namespace quenbar {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string ParamFlagNames(int32 flags) {
  static const struct {
    int32 bit;
    const char* name;
  } kNames[] = {
      {ParameterInfo::kCanAutomate, "automatable"}, {ParameterInfo::kIsReadOnly, "read-only"},
      {ParameterInfo::kIsWrapAround, "wrap-around"}, {ParameterInfo::kIsList, "list"},
      {ParameterInfo::kIsHidden, "hidden"},         {ParameterInfo::kIsProgramChange, "program-change"},
      {ParameterInfo::kIsBypass, "bypass"},
  };
  std::string out;
  for (const auto& n : kNames) {
    if (!(flags & n.bit)) continue;
    if (!out.empty()) out += ",";
    out += n.name;
  }
  return out.empty() ? "-" : out;
}

void PrintBusses(FILE* out, const char* title, const std::vector<vst3host::BusRecord>& busses) {
  std::fprintf(out, "%s:%s\n", title, busses.empty() ? " none" : "");
  for (size_t i = 0; i < busses.size(); ++i) {
    const vst3host::BusRecord& b = busses[i];
    std::fprintf(out, "  %zu \"%s\" %d channel%s, %s%s\n", i, b.name.c_str(), b.channelCount,
                 b.channelCount == 1 ? "" : "s", b.busType == kMain ? "main" : "aux",
                 (b.flags & BusInfo::kDefaultActive) ? ", active by default" : "");
  }
}

// Tags such as 'bpas' read better as their four characters.
std::string TagText(ParamID id) {
  std::string t = std::to_string(id);
  if (id <= 0xFFFFFF) return t;
  std::string cc;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char ch = static_cast<char>((id >> shift) & 0xFF);
    if (ch < 0x20 || ch > 0x7E) return t;
    cc += ch;
  }
  return t + " '" + cc + "'";
}

void PrintParameter(FILE* out, vst3host::Plugin& plugin, const vst3host::ParamRecord& p) {
  IEditController* c = plugin.Controller();
  const double lo = c->normalizedParamToPlain(p.id, 0.0);
  const double hi = c->normalizedParamToPlain(p.id, 1.0);
  const double def = c->normalizedParamToPlain(p.id, p.defaultNormalized);
  String128 text{};
  std::string shown;
  if (c->getParamStringByValue(p.id, p.defaultNormalized, text) == kResultOk)
    shown = vst3host::Utf16ToUtf8(text, 128);
  std::fprintf(out, "  id %-17s \"%s\"", TagText(p.id).c_str(), p.title.c_str());
  if (!p.shortTitle.empty()) std::fprintf(out, " (short \"%s\")", p.shortTitle.c_str());
  std::fprintf(out, "\n      units \"%s\", range %g to %g, default %g (normalised %g%s%s%s)\n",
               p.units.c_str(), lo, hi, def, p.defaultNormalized, shown.empty() ? "" : ", shown \"",
               shown.c_str(), shown.empty() ? "" : "\"");
  std::fprintf(out, "      steps %d (%s), unit %d, flags 0x%x %s\n", p.stepCount,
               p.stepCount == 0 ? "continuous" : "discrete", p.unitId,
               static_cast<unsigned>(p.flags), ParamFlagNames(p.flags).c_str());
}

}  // namespace

int RunInfo(const std::string& bundlePath, FILE* out) {
  vst3host::Session s;
  std::string error;
  const bool opened = s.Open(bundlePath, &error);
  if (!s.module.Factory()) {
    std::fprintf(stderr, "quenbar: %s\n", error.c_str());
    return 1;
  }
  const vst3host::FactoryRecord& f = s.factory;
  std::fprintf(out, "Module: %s\n", s.module.LibraryPath().c_str());
  std::fprintf(out, "Factory (IPluginFactory%s): vendor \"%s\", url \"%s\", e-mail \"%s\", flags 0x%x\n",
               f.interfaceVersion == 1 ? "" : std::to_string(f.interfaceVersion).c_str(),
               f.vendor.c_str(), f.url.c_str(), f.email.c_str(), static_cast<unsigned>(f.flags));
  std::fprintf(out, "Classes: %zu\n", f.classes.size());
  for (size_t i = 0; i < f.classes.size(); ++i) {
    const vst3host::ClassRecord& c = f.classes[i];
    TUID id;
    for (int k = 0; k < 16; ++k) id[k] = c.cid[static_cast<size_t>(k)];
    std::fprintf(out, "  %zu \"%s\", category \"%s\", id %s\n", i, c.name.c_str(), c.category.c_str(),
                 vst3host::TuidToHex(id).c_str());
    std::fprintf(out, "      sub-categories \"%s\", vendor \"%s\", version \"%s\", sdk \"%s\"\n",
                 c.subCategories.c_str(), c.vendor.c_str(), c.version.c_str(), c.sdkVersion.c_str());
    std::fprintf(out, "      cardinality %s, class flags 0x%x\n",
                 c.cardinality == PClassInfo::kManyInstances ? "many" : std::to_string(c.cardinality).c_str(),
                 static_cast<unsigned>(c.classFlags));
  }
  if (!opened) {
    std::fflush(out);
    std::fprintf(stderr, "quenbar: %s\n", error.c_str());
    return 1;
  }
  vst3host::Plugin& p = s.plugin;
  std::fprintf(out, "Instance of class %d: %s\n", s.classIndex,
               p.HasSeparateController() ? "separate edit controller"
                                         : "single component (the component is its own controller)");
  PrintBusses(out, "Audio inputs", p.Busses(kAudio, kInput));
  PrintBusses(out, "Audio outputs", p.Busses(kAudio, kOutput));
  PrintBusses(out, "Event inputs", p.Busses(kEvent, kInput));
  PrintBusses(out, "Event outputs", p.Busses(kEvent, kOutput));
  const std::vector<vst3host::ParamRecord> params = p.Parameters();
  std::fprintf(out, "Parameters: %zu\n", params.size());
  for (const vst3host::ParamRecord& prm : params) PrintParameter(out, p, prm);
  return 0;
}

}  // namespace quenbar
