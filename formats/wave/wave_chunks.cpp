// The chunk walk of a RIFF WAVE file.

#include "formats/wave/wave_chunks.h"

#include <new>
#include <string_view>

#include "engine/file_reader.h"
#include "platform/byte_order.h"
#include "platform/riff_chunks.h"

namespace engine {
namespace {

constexpr uint32_t kFactBytes = 4;

// A read that delivers fewer bytes than asked for means the file ends inside
// the structure being read.
bool ReadExactly(FileReader& reader, void* buffer, size_t count) {
    size_t bytesRead = 0;
    return reader.ReaderRead(buffer, count, &bytesRead) && bytesRead == count;
}

bool ReadChunkHeader(FileReader& reader, platform::RiffChunkHeader* header) {
    uint8_t bytes[platform::kRiffChunkHeaderBytes];
    if (!ReadExactly(reader, bytes, sizeof bytes)) return false;
    *header = platform::ReadRiffChunkHeader(bytes);
    return true;
}

bool ExpectId(FileReader& reader, std::string_view expected) {
    char id[platform::kRiffChunkIdBytes];
    return ReadExactly(reader, id, sizeof id) && std::string_view(id, sizeof id) == expected;
}

}  // namespace

bool ReadFormatChunk(FileReader& reader, std::vector<uint8_t>* format) {
    if (reader.ReaderSeek(0, SEEK_FROM_START) == kNoPosition) return false;
    if (!ExpectId(reader, "RIFF")) return false;
    if (reader.ReaderSeek(4, SEEK_FROM_CURRENT) == kNoPosition) return false;  // the RIFF size is not used
    if (!ExpectId(reader, "WAVE")) return false;
    platform::RiffChunkHeader header;
    if (!ReadChunkHeader(reader, &header) || !header.Is("fmt ")) return false;
    const uint32_t size = header.size;
    if (size > kMaximumFormatBytes || size < platform::acm::kWaveFormatBaseBytes) return false;
    try {
        format->assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!ReadExactly(reader, format->data(), size)) return false;
    if (size & 1) return reader.ReaderSeek(1, SEEK_FROM_CURRENT) != kNoPosition;
    return true;
}

bool FindDataChunk(FileReader& reader, WaveDataChunk* chunk) {
    const uint64_t fileSize = reader.ReaderSize();
    uint64_t position = reader.ReaderSeek(0, SEEK_FROM_CURRENT);
    if (position == kNoPosition) return false;
    WaveDataChunk found;
    // Each step moves on by at least a chunk header, so the walk ends at the
    // end of the file.
    for (;;) {
        platform::RiffChunkHeader header;
        if (!ReadChunkHeader(reader, &header)) return false;
        const uint32_t size = header.size;
        position += platform::kRiffChunkHeaderBytes;
        if (header.Is("data")) {
            found.dataStart = position;
            const uint64_t held = fileSize > position ? fileSize - position : 0;
            found.dataLength = size > held ? static_cast<uint32_t>(held) : size;
            *chunk = found;
            return true;
        }
        if (header.Is("fact")) {
            if (size != kFactBytes) return false;
            uint8_t count[kFactBytes];
            if (!ReadExactly(reader, count, sizeof count)) return false;
            found.factSamples = platform::ReadLittle32(count);
            position += kFactBytes;
            continue;
        }
        // Any other chunk (LIST, bext, junk, ...) is skipped, but must lie
        // inside the file.
        if (position + size > fileSize) return false;
        position += platform::RiffPaddedSize(size);
        if (reader.ReaderSeek(static_cast<int64_t>(position), SEEK_FROM_START) == kNoPosition) return false;
    }
}

bool SuggestPcmFormat(const std::vector<uint8_t>& format, platform::acm::WAVEFORMATEX* suggestion) {
    using namespace platform::acm;
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    if (acmFormatSuggest(nullptr, format.data(), static_cast<DWORD>(format.size()), &pcm, sizeof pcm,
                         ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR) {
        return false;
    }
    *suggestion = pcm;
    return true;
}

}  // namespace engine
