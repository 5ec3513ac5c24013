#include "tools/quenbar/headerframes.h"

#include <cstring>

namespace quenbar {

namespace {

// Bytes per sample of the fixed-size encodings; 0 for the others.
int SampleBytes(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
  }
}

}  // namespace

int64_t HeaderFrames(SNDFILE* file, const SF_INFO& info) {
  int64_t frames = info.frames == SF_COUNT_MAX ? -1 : static_cast<int64_t>(info.frames);
  // libsndfile trims a WAV or AIFF data chunk that runs past the end of the
  // file to what is there, so only the chunk's length still shows the promise.
  const int type = info.format & SF_FORMAT_TYPEMASK;
  const char* id = nullptr;
  uint32_t skip = 0;  // SSND starts with an offset and a block size
  if (type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX) {
    id = "data";
  } else if (type == SF_FORMAT_AIFF) {
    id = "SSND";
    skip = 8;
  }
  const int bytes = SampleBytes(info.format & SF_FORMAT_SUBMASK);
  if (!id || bytes == 0 || info.channels <= 0) return frames;
  SF_CHUNK_INFO want{};
  std::strcpy(want.id, id);
  want.id_size = 4;
  SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file, &want);
  SF_CHUNK_INFO got{};
  if (!it || sf_get_chunk_size(it, &got) != SF_ERR_NO_ERROR) return frames;
  // Streaming writers leave 0 or all ones: the length was never known.
  if (got.datalen == 0 || got.datalen == 0xFFFFFFFFu || got.datalen < skip) return frames;
  const int64_t promised = (static_cast<int64_t>(got.datalen) - skip) / (bytes * info.channels);
  return promised > frames ? promised : frames;
}

}  // namespace quenbar
