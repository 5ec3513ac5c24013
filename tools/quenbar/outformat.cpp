#include "tools/quenbar/outformat.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace quenbar {

namespace {

struct Container {
  const char* extension;
  int type;
  const char* name;
};

constexpr Container kContainers[] = {
    {"wav", SF_FORMAT_WAV, "WAV"},   {"flac", SF_FORMAT_FLAC, "FLAC"},
    {"ogg", SF_FORMAT_OGG, "Ogg"},   {"aiff", SF_FORMAT_AIFF, "AIFF"},
    {"aif", SF_FORMAT_AIFF, "AIFF"}, {"caf", SF_FORMAT_CAF, "CAF"},
    {"w64", SF_FORMAT_W64, "W64"},   {"rf64", SF_FORMAT_RF64, "RF64"},
    {"au", SF_FORMAT_AU, "AU"},
};

constexpr int kPcm[] = {SF_FORMAT_PCM_S8, SF_FORMAT_PCM_U8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24,
                        SF_FORMAT_PCM_32};

std::string LibraryName(int format) {
  SF_FORMAT_INFO info{};
  info.format = format;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name)
    return info.name;
  char buf[32];
  std::snprintf(buf, sizeof(buf), "format 0x%x", static_cast<unsigned>(format));
  return buf;
}

std::string ContainerName(int type) {
  for (const Container& c : kContainers)
    if (c.type == type) return c.name;
  return LibraryName(type);
}

std::string SubtypeName(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8: return "8-bit PCM";
    case SF_FORMAT_PCM_U8: return "8-bit unsigned PCM";
    case SF_FORMAT_PCM_16: return "16-bit PCM";
    case SF_FORMAT_PCM_24: return "24-bit PCM";
    case SF_FORMAT_PCM_32: return "32-bit PCM";
    case SF_FORMAT_FLOAT: return "32-bit float";
    case SF_FORMAT_DOUBLE: return "64-bit float";
    case SF_FORMAT_VORBIS: return "Vorbis (lossy)";
    default: return LibraryName(subtype);
  }
}

// Bits of resolution an encoding carries, with 0 for floating point and the
// lossy codecs, which decode to float.
int IntegerBits(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_DPCM_8: return 8;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24: return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
    case SF_FORMAT_DWVW_N: return 32;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III: return 0;
    default:  // the companded, ADPCM and 12/16-bit codecs
      return 16;
  }
}

int Bits(int pcm) {
  switch (pcm) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 8;
    case SF_FORMAT_PCM_16: return 16;
    case SF_FORMAT_PCM_24: return 24;
    default: return 32;
  }
}

// Sample formats in the order they should be tried for this input: its own,
// then at least as much resolution, then less, and a lossy codec last.
std::vector<int> Preferences(int subtype) {
  std::vector<int> order = {subtype};
  const int bits = IntegerBits(subtype);
  if (bits == 0) {
    order.push_back(subtype == SF_FORMAT_DOUBLE ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
    order.push_back(subtype == SF_FORMAT_DOUBLE ? SF_FORMAT_FLOAT : SF_FORMAT_DOUBLE);
  } else {
    for (int pcm : kPcm)
      if (Bits(pcm) >= bits) order.push_back(pcm);
    order.push_back(SF_FORMAT_FLOAT);
    order.push_back(SF_FORMAT_DOUBLE);
  }
  for (int i = static_cast<int>(sizeof(kPcm) / sizeof(kPcm[0])) - 1; i >= 0; --i)
    if (bits == 0 || Bits(kPcm[i]) < bits) order.push_back(kPcm[i]);
  order.push_back(SF_FORMAT_VORBIS);
  return order;
}

bool Holds(const SF_INFO& in, int format) {
  SF_INFO probe{};
  probe.samplerate = in.samplerate;
  probe.channels = in.channels;
  probe.format = format;
  return sf_format_check(&probe) != 0;
}

// The input's byte order only carries over into its own container.
int WithOrder(const SF_INFO& in, int type, int subtype) {
  const int plain = type | subtype;
  const int ordered = plain | (in.format & SF_FORMAT_ENDMASK);
  if (type == (in.format & SF_FORMAT_TYPEMASK) && ordered != plain && Holds(in, ordered))
    return ordered;
  return plain;
}

std::string Extension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  // A leading dot marks a hidden file, not an extension.
  if (dot == std::string::npos || dot <= start) return "";
  std::string ext = path.substr(dot + 1);
  for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return ext;
}

}  // namespace

int ContainerForPath(const std::string& path) {
  const std::string ext = Extension(path);
  for (const Container& c : kContainers)
    if (ext == c.extension) return c.type;
  return 0;
}

bool ChooseOutputFormat(const std::string& outPath, const SF_INFO& in, bool use64, int* format,
                        std::string* note, std::string* error) {
  note->clear();
  const int inType = in.format & SF_FORMAT_TYPEMASK;
  const int inSub = in.format & SF_FORMAT_SUBMASK;
  int type = ContainerForPath(outPath);
  if (type == 0) {
    type = inType;
    bool writable = false;
    for (int sub : Preferences(inSub)) writable = writable || Holds(in, type | sub);
    if (!writable) {
      *note = outPath + ": libsndfile cannot write the input's file type (" +
              ContainerName(inType) + "); writing WAV";
      type = SF_FORMAT_WAV;
    }
  }

  if (use64) {
    if (Holds(in, type | SF_FORMAT_DOUBLE)) {
      *format = WithOrder(in, type, SF_FORMAT_DOUBLE);
      return true;
    }
    std::string able;
    for (const Container& c : kContainers) {
      if (!Holds(in, c.type | SF_FORMAT_DOUBLE) || able.find(c.name) != std::string::npos) continue;
      able += (able.empty() ? "" : ", ") + std::string(c.name);
    }
    const size_t last = able.rfind(", ");
    if (last != std::string::npos) able.replace(last, 2, " and ");
    *error = "cannot write " + outPath + " with --precision 64: " + ContainerName(type) +
             " files cannot hold 64-bit float samples (" + able + " files can)";
    return false;
  }

  for (int sub : Preferences(inSub)) {
    if (!Holds(in, type | sub)) continue;
    if (sub != inSub) {
      if (!note->empty()) *note += "; ";
      *note += outPath + ": " + ContainerName(type) + " files cannot hold " + SubtypeName(inSub) +
               " samples; writing " + SubtypeName(sub);
    }
    *format = WithOrder(in, type, sub);
    return true;
  }
  *error = "cannot write " + outPath + ": libsndfile cannot write " + ContainerName(type) +
           " files with " + std::to_string(in.channels) + " channels at " +
           std::to_string(in.samplerate) + " Hz";
  return false;
}

}  // namespace quenbar
