// MPEG files decoded through the whole engine: whatever the frames hold,
// the file opens or is refused, plays in the channels it opened with, and
// ends by itself (a decode that spins is caught by the watchdog).

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Played played = fuzz::PlayFile(fuzz::WriteScratchFile("input.mp3", data, size));
    if (played.kind == SOURCE_MPEG_FILE && played.bytes != 0) {
        fuzz::Check(played.format.channels == played.openedFormat.channels,
                    "MPEG plays in the channels it opened with");
    }
    return 0;
}
