// The libsndfile format a render writes. The container follows the output's
// extension (wav, flac, ogg, aiff/aif, caf, w64, rf64, au; any case); any
// other name keeps the input's container, or WAV when libsndfile cannot
// write that. The sample format is the input's when the container holds it,
// otherwise the nearest one it does hold, and the note says so. 64-bit
// output is exactly 64-bit float or refused. Pure: no file is touched.
#pragma once

#include <sndfile.h>

#include <string>

namespace quenbar {

// The container named by path's extension, 0 for none or an unknown one.
int ContainerForPath(const std::string& path);

// in: the input's SF_INFO. Sets *format (for SF_INFO.format), and *note when
// the result is not what the input or the name asked for. False with *error
// set when use64 and the container cannot hold 64-bit float samples.
bool ChooseOutputFormat(const std::string& outPath, const SF_INFO& in, bool use64, int* format,
                        std::string* note, std::string* error);

}  // namespace quenbar
