// RIFF WAVE files: the chunk walk stays inside the file whatever the sizes
// claim, a format the compression manager takes converts to PCM it can
// play, and the file plays through the engine (PCM as it is, every
// compressed format through its codec) and ends.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_reader.h"
#include "formats/wave/wave_chunks.h"
#include "formats/wave/wave_source.h"
#include "platform/acm.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace engine;

constexpr uint16_t kPcmTag = 1;

void CheckChunks(const std::string& path) {
    FileReader reader;
    fuzz::Check(reader.ReaderOpen(path) != 0, "the input file opens");
    const uint64_t fileSize = reader.ReaderSize();
    std::vector<uint8_t> format;
    if (!ReadFormatChunk(reader, &format)) return;
    fuzz::Check(format.size() <= kMaximumFormatBytes && format.size() <= fileSize,
                "the format chunk is no larger than the limit and the file");

    platform::acm::WAVEFORMATEX suggestion{};
    if (SuggestPcmFormat(format, &suggestion)) {
        fuzz::Check(suggestion.wFormatTag == kPcmTag, "the suggested format is PCM");
        fuzz::Check(suggestion.nChannels > 0 && suggestion.nSamplesPerSec > 0,
                    "the suggested PCM has channels and a rate");
        fuzz::Check(suggestion.wBitsPerSample == 8 || suggestion.wBitsPerSample == 16,
                    "the suggested PCM is 8 or 16 bits");
    }

    WaveDataChunk data;
    if (!FindDataChunk(reader, &data)) return;
    fuzz::Check(data.dataStart <= fileSize && data.dataLength <= fileSize - data.dataStart,
                "the data chunk lies inside the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("input.wav", data, size);
    CheckChunks(path);
    fuzz::PlayFile(path);
    return 0;
}
