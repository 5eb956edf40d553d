// The chunk walk of a RIFF WAVE file.

#include "formats/wave/wave_chunks.h"

#include <cstring>
#include <new>

#include "engine/file_reader.h"

namespace {

constexpr size_t kChunkIdBytes = 4;
constexpr uint64_t kChunkHeaderBytes = 8;
constexpr uint32_t kFactBytes = 4;

uint32_t Little32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

// A read that delivers fewer bytes than asked for means the file ends inside
// the structure being read.
bool ReadExactly(FileReader& reader, void* buffer, size_t count) {
    size_t bytesRead = 0;
    return reader.ReaderRead(buffer, count, &bytesRead) && bytesRead == count;
}

bool ReadChunkHeader(FileReader& reader, char id[kChunkIdBytes], uint32_t* size) {
    uint8_t header[kChunkHeaderBytes];
    if (!ReadExactly(reader, header, sizeof header)) return false;
    std::memcpy(id, header, kChunkIdBytes);
    *size = Little32(header + kChunkIdBytes);
    return true;
}

bool IdIs(const char id[kChunkIdBytes], const char* expected) {
    return std::memcmp(id, expected, kChunkIdBytes) == 0;
}

bool ExpectId(FileReader& reader, const char* expected) {
    char id[kChunkIdBytes];
    return ReadExactly(reader, id, sizeof id) && IdIs(id, expected);
}

uint64_t PaddedSize(uint32_t size) { return uint64_t{size} + (size & 1); }

}  // namespace

bool ReadFormatChunk(FileReader& reader, std::vector<uint8_t>* format) {
    if (reader.ReaderSeek(0, SEEK_FROM_START) == kNoPosition) return false;
    if (!ExpectId(reader, "RIFF")) return false;
    if (reader.ReaderSeek(4, SEEK_FROM_CURRENT) == kNoPosition) return false;  // the RIFF size is not used
    if (!ExpectId(reader, "WAVE")) return false;
    char id[kChunkIdBytes];
    uint32_t size = 0;
    if (!ReadChunkHeader(reader, id, &size) || !IdIs(id, "fmt ")) return false;
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
        char id[kChunkIdBytes];
        uint32_t size = 0;
        if (!ReadChunkHeader(reader, id, &size)) return false;
        position += kChunkHeaderBytes;
        if (IdIs(id, "data")) {
            found.dataStart = position;
            const uint64_t held = fileSize > position ? fileSize - position : 0;
            found.dataLength = size > held ? static_cast<uint32_t>(held) : size;
            *chunk = found;
            return true;
        }
        if (IdIs(id, "fact")) {
            if (size != kFactBytes) return false;
            uint8_t count[kFactBytes];
            if (!ReadExactly(reader, count, sizeof count)) return false;
            found.factSamples = Little32(count);
            position += kFactBytes;
            continue;
        }
        // Any other chunk (LIST, bext, junk, ...) is skipped, but must lie
        // inside the file.
        if (position + size > fileSize) return false;
        position += PaddedSize(size);
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
