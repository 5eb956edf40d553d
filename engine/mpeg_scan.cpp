#include <array>
#include <cstdint>
#include <limits>

#include "engine/file_reader.h"
#include "engine/mpeg_file.h"
#include "engine/mpeg_header.h"
#include "engine/player_engine.h"

namespace engine {
namespace {

// The longest frame: MPEG-2.5 Layer II at 160 kbit/s and 8000 Hz, padded.
constexpr size_t kLongestFrameBytes = 144000 * 160 / 8000 + 1;
// Room for a whole frame and the header after it, so every frame is checked
// against its successor. A shorter fixed read would let a false sync whose
// frame is longer than the read (as noise in a large tag can hold) end the
// scan before any real frame was seen.
constexpr size_t kFrameAndSuccessorBytes = kLongestFrameBytes + kMpegHeaderBytes;
// The scan stops once more than this many frames are counted: 129 at most.
constexpr uint32_t kScanFrameLimit = 128;

// Running sums over the accepted frames.
struct FrameSample {
    uint64_t frameLengthSum = 0;
    uint64_t bitrateSum = 0;
    uint32_t count = 0;
};

// Moves one byte past `offset` and on to the next sync; kNoPosition if none.
uint64_t SyncAfter(FileReader& reader, uint64_t offset) {
    if (reader.ReaderSeek(static_cast<int64_t>(offset + 1), SEEK_FROM_START) == kNoPosition) {
        return kNoPosition;
    }
    return FindFrameSync(reader);
}

// Reads frames from `offset`, the reader's position, into `sample`; the first
// accepted header is copied into the engine's source format. Each step reads
// the header and then exactly the rest of its frame and the next header, so
// the scan reads little more than the frames it samples; fewer bytes than
// that only at the end of the file.
void SampleFrames(PlayerEngine& engine, uint64_t offset, FrameSample& sample) {
    FileReader& reader = engine.fileReader;
    std::array<uint8_t, kFrameAndSuccessorBytes> buffer;
    for (;;) {
        size_t bytesRead = 0;
        if (!reader.ReaderRead(buffer.data(), kMpegHeaderBytes, &bytesRead) || bytesRead < kMpegHeaderBytes) return;

        MpegHeader header;
        if (!ParseMpegHeader(buffer.data(), &header)) {
            offset = SyncAfter(reader, offset);
            if (offset == kNoPosition) return;
            continue;
        }
        const size_t frameLength = static_cast<size_t>(header.frameLength);
        if (frameLength > kLongestFrameBytes) return;
        size_t restRead = 0;
        if (!reader.ReaderRead(buffer.data() + kMpegHeaderBytes, frameLength, &restRead)) return;
        bytesRead += restRead;

        if (frameLength + kMpegHeaderBytes <= bytesRead) {
            MpegHeader next;
            if (!ParseMpegHeader(buffer.data() + frameLength, &next) || !SameStream(header, next)) {
                offset = SyncAfter(reader, offset);
                if (offset == kNoPosition) return;
                continue;
            }
        }
        if (bytesRead < frameLength) return;

        if (sample.count == 0) engine.sourceFormat = header;
        sample.frameLengthSum += frameLength;
        sample.bitrateSum += static_cast<uint64_t>(header.bitrate);
        ++sample.count;
        // A read that ends with this frame ends the file.
        if (bytesRead == frameLength || sample.count > kScanFrameLimit) return;

        offset += frameLength;
        if (reader.ReaderSeek(static_cast<int64_t>(offset), SEEK_FROM_START) == kNoPosition) return;
    }
}

// (file size / average frame length) x samples per frame, saturated: a file
// of more than about 27 hours at 44100 Hz would otherwise wrap to a short one.
uint32_t LengthInSamples(uint64_t fileSize, int32_t averageFrameLength, int32_t samplesPerFrame) {
    if (averageFrameLength <= 0 || samplesPerFrame <= 0) return 0;
    const uint64_t frames = fileSize / static_cast<uint64_t>(averageFrameLength);
    const uint64_t samples = frames * static_cast<uint64_t>(samplesPerFrame);
    constexpr uint64_t kMaximumLength = std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(samples < kMaximumLength ? samples : kMaximumLength);
}

// The sample index of `milliseconds`, truncated; clamped to the range of a
// sample index so that a negative or huge time cannot overflow the conversion.
uint32_t TargetSample(int32_t sampleRate, int32_t milliseconds) {
    const double target = static_cast<double>(sampleRate) * milliseconds * 0.001;
    if (!(target > 0)) return 0;
    constexpr double kMaximumTarget = std::numeric_limits<uint32_t>::max();
    return target >= kMaximumTarget ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(target);
}

}  // namespace

bool MpegOpenScan(PlayerEngine& engine) {
    FileReader& reader = engine.fileReader;
    const uint64_t fileSize = reader.ReaderSize();
    if (reader.ReaderSeek(static_cast<int64_t>(fileSize / 2), SEEK_FROM_START) == kNoPosition) return false;
    const uint64_t firstSync = FindFrameSync(reader);
    if (firstSync == kNoPosition) return false;

    engine.sourceFormat = PlayerSourceFormat{};
    FrameSample sample;
    SampleFrames(engine, firstSync, sample);
    if (sample.count == 0) return false;

    reader.ReaderSeek(0, SEEK_FROM_START);
    const int32_t averageFrameLength = static_cast<int32_t>(sample.frameLengthSum / sample.count);
    engine.sourceFormat.frameLength = averageFrameLength;
    engine.sourceFormat.bitrate = static_cast<int32_t>(sample.bitrateSum / sample.count);
    engine.length = LengthInSamples(fileSize, averageFrameLength, engine.sourceFormat.samplesPerFrame);
    return true;
}

uint64_t MpegSeekOffset(uint32_t targetSample, int32_t samplesPerFrame, int32_t averageFrameLength) {
    if (samplesPerFrame <= 0 || averageFrameLength <= 0) return 0;
    const uint64_t frameIndex = targetSample / static_cast<uint32_t>(samplesPerFrame);
    return frameIndex * static_cast<uint64_t>(averageFrameLength);
}

bool MpegSeek(PlayerEngine& engine, int32_t milliseconds) {
    platform::CriticalSectionGuard guard(engine.decodeLock);
    FileReader& reader = engine.fileReader;
    const PlayerSourceFormat& format = engine.sourceFormat;
    const uint32_t target = TargetSample(format.sampleRate, milliseconds);
    const uint64_t offset = MpegSeekOffset(target, format.samplesPerFrame, format.frameLength);
    if (reader.ReaderSeek(static_cast<int64_t>(offset), SEEK_FROM_START) == kNoPosition) return false;
    if (FindMatchingFrameSync(reader, format.version, format.layer) == kNoPosition) {
        reader.ReaderSeek(static_cast<int64_t>(offset), SEEK_FROM_START);
        return false;
    }
    engine.seekBase = target;
    engine.seekPending = 1;
    engine.waveOutput.Flush();
    return true;
}

}  // namespace engine
