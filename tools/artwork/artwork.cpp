// quenbar-artwork: draws the editor's six images (the background and five film strips)
// with the raster library and writes them as PNG files into a directory. The output is
// the same, byte for byte, on every run, so the committed images can be checked against it.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/artwork/art.h"

namespace {

const char kUsage[] =
    "usage: quenbar-artwork OUTDIR [--preview FILE.png] [--preview-frame K]\n"
    "Writes BG.png, BY.png, MIX.png, OUT.png, SNAP.png and TONE.png into OUTDIR\n"
    "(created if missing). --preview also writes the whole panel with every knob at\n"
    "frame K (0 ... 60, default 30) and the switch on when K is above 30.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "quenbar-artwork: %s\n", message.c_str());
  return 1;
}

int Usage(const std::string& message) {
  std::fprintf(stderr, "quenbar-artwork: %s\n%s", message.c_str(), kUsage);
  return 2;
}

bool EnsureDirectory(const std::string& dir, std::string* error) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *error = dir + " exists and is not a directory";
    return false;
  }
  if (mkdir(dir.c_str(), 0777) == 0) return true;
  *error = "cannot create " + dir + ": " + std::strerror(errno);
  return false;
}

bool Write(const std::string& path, Raster_IBitmap* bm, std::string* error) {
  if (Raster_WritePNG(path.c_str(), bm)) return true;
  *error = "cannot write " + path;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir, preview;
  int frame = (artwork::kKnobFrames - 1) / 2;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--preview" || a == "--preview-frame") {
      if (i + 1 >= argc) return Usage(a + " needs a value");
      const std::string v = argv[++i];
      if (a == "--preview") {
        preview = v;
        continue;
      }
      char* end = nullptr;
      const long k = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || k < 0 || k >= artwork::kKnobFrames)
        return Usage("--preview-frame wants a frame from 0 to 60, not '" + v + "'");
      frame = (int)k;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage("unknown option " + a);
    } else if (dir.empty()) {
      dir = a;
    } else {
      return Usage("more than one output directory given");
    }
  }
  if (dir.empty()) return Usage("no output directory given");

  std::string error;
  if (!EnsureDirectory(dir, &error)) return Fail(error);

  Raster_MemBitmap panel, bypass, knobs[4];
  if (!artwork::DrawPanel(&panel, &error)) return Fail(error);
  if (!Write(dir + "/BG.png", &panel, &error)) return Fail(error);
  if (!artwork::DrawSwitchStrip(artwork::kBypass, &bypass, &error)) return Fail(error);
  if (!Write(dir + "/" + artwork::kBypass.file, &bypass, &error)) return Fail(error);
  Raster_IBitmap* strips[4];
  for (int i = 0; i < 4; ++i) {
    const artwork::KnobArt& k = artwork::kKnobs[i];
    if (!artwork::DrawKnobStrip(k, &knobs[i], &error)) return Fail(error);
    if (!Write(dir + "/" + k.file, &knobs[i], &error)) return Fail(error);
    strips[i] = &knobs[i];
  }
  if (!preview.empty()) {
    Raster_MemBitmap composed;
    if (!artwork::ComposePreview(&panel, strips, &bypass, frame, &composed, &error)) return Fail(error);
    if (!Write(preview, &composed, &error)) return Fail(error);
  }
  return 0;
}
