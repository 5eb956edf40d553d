#include <array>
#include <cstring>

#include "engine/file_reader.h"
#include "engine/mpeg_file.h"
#include "engine/mpeg_header.h"

namespace engine {
namespace {

constexpr size_t kSyncBufferBytes = 4096;
// A position is examined only while a whole header fits behind it; the bytes
// that do not yet fit are carried to the front of the next read.
constexpr size_t kCarriedBytes = kMpegHeaderBytes - 1;

// Scans forward from the reader's position for the first position that
// `qualifies`, within `limit` bytes, leaves the reader there and returns its
// offset. The reader's lock is held throughout, so no other read or seek can
// interleave.
template <typename Predicate>
uint64_t SearchFrameSync(FileReader& reader, uint64_t limit, Predicate qualifies) {
    platform::CriticalSectionGuard guard(reader.Lock());
    uint64_t bufferStart = reader.ReaderSeek(0, SEEK_FROM_CURRENT);
    if (bufferStart == kNoPosition) return kNoPosition;
    const uint64_t searchEnd = limit >= kNoPosition - bufferStart ? kNoPosition : bufferStart + limit;

    std::array<uint8_t, kSyncBufferBytes> buffer;
    size_t filled = 0;
    if (!reader.ReaderRead(buffer.data(), buffer.size(), &filled)) return kNoPosition;
    while (filled >= kMpegHeaderBytes && bufferStart < searchEnd) {
        for (size_t index = 0; index + kMpegHeaderBytes <= filled; ++index) {
            if (!qualifies(buffer.data() + index)) continue;
            const uint64_t offset = bufferStart + index;
            if (reader.ReaderSeek(static_cast<int64_t>(offset), SEEK_FROM_START) == kNoPosition) {
                return kNoPosition;
            }
            return offset;
        }
        std::memmove(buffer.data(), buffer.data() + filled - kCarriedBytes, kCarriedBytes);
        bufferStart += filled - kCarriedBytes;
        size_t got = 0;
        if (!reader.ReaderRead(buffer.data() + kCarriedBytes, buffer.size() - kCarriedBytes, &got)) {
            return kNoPosition;
        }
        filled = kCarriedBytes + got;
    }
    return kNoPosition;
}

}  // namespace

uint64_t FindFrameSync(FileReader& reader, uint64_t limit) {
    return SearchFrameSync(reader, limit, [](const uint8_t* bytes) { return PassesQuickSyncTest(bytes); });
}

uint64_t FindMatchingFrameSync(FileReader& reader, int32_t version, int32_t layer) {
    return SearchFrameSync(reader, kNoPosition, [version, layer](const uint8_t* bytes) {
        return PassesQuickSyncTest(bytes) && HeaderVersion(bytes) == version && HeaderLayer(bytes) == layer;
    });
}

}  // namespace engine
