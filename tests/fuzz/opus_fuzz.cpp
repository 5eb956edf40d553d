// Ogg Opus files, through the checks of file_source_fuzz.h.

#include "formats/opus/opus_source.h"
#include "tests/fuzz/file_source_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace engine;
    const fuzz::FileSourceUnderTest opus{OpusProbe, OpusOpen, OpusGetTag, OpusSeek, OpusClose, OpusReadFileTag};
    return fuzz::FuzzFileSource(opus, "input.opus", data, size);
}
