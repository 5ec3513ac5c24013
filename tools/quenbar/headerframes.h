// How many frames an input file's header says it holds, so a render can
// tell a file cut short from a short file.
#pragma once

#include <sndfile.h>

#include <cstdint>

namespace quenbar {

// The larger of SF_INFO.frames and the count the WAV or AIFF data chunk's
// own length gives; -1 when the file does not say (an Ogg stream, say).
// Call before reading; the read position is not moved.
int64_t HeaderFrames(SNDFILE* file, const SF_INFO& info);

}  // namespace quenbar
