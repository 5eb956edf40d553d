// FLAC files, native and in Ogg, through the checks of file_source_fuzz.h.

#include "formats/flac/flac_source.h"
#include "tests/fuzz/file_source_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace engine;
    const fuzz::FileSourceUnderTest flac{FlacProbe, FlacOpen, FlacGetTag, FlacSeek, FlacClose, FlacReadFileTag};
    return fuzz::FuzzFileSource(flac, "input.flac", data, size);
}
