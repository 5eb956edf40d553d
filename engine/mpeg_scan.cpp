#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "engine/file_reader.h"
#include "engine/mpeg_file.h"
#include "engine/mpeg_gapless.h"
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
// A search for a frame looks this far before it gives up, so that an open
// reads a bounded amount of a large file that holds no audio where it looks.
constexpr uint64_t kSyncSearchBytes = 1 << 20;
// The blocks in which a tail of zeros is looked for; no block of this size
// within MPEG audio is all zeros (frames are shorter, and start with a sync).
constexpr uint64_t kZeroBlockBytes = 4096;
// Smaller files are scanned as they are: a tag's padding near the start
// could pass for such a tail.
constexpr uint64_t kSmallestFileWithTail = 1 << 20;

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
    return FindFrameSync(reader, kSyncSearchBytes);
}

bool IsZeroBlock(FileReader& reader, uint64_t block) {
    std::array<uint8_t, kZeroBlockBytes> bytes;
    size_t bytesRead = 0;
    if (reader.ReaderSeek(static_cast<int64_t>(block * kZeroBlockBytes), SEEK_FROM_START) == kNoPosition ||
        !reader.ReaderRead(bytes.data(), bytes.size(), &bytesRead)) {
        return false;
    }
    return std::all_of(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytesRead),
                       [](uint8_t byte) { return byte == 0; });
}

// Where the audio ends when the file's tail is zeros: the end of the last
// block that holds anything else, found by halving between a block with data
// (the first) and a zero one (the last), a few dozen reads however long the
// tail. The file's size otherwise.
uint64_t AudioEnd(FileReader& reader, uint64_t fileSize) {
    if (fileSize < kSmallestFileWithTail) return fileSize;
    uint64_t withData = 0;
    uint64_t zero = (fileSize - 1) / kZeroBlockBytes;
    if (!IsZeroBlock(reader, zero) || IsZeroBlock(reader, withData)) return fileSize;
    while (zero - withData > 1) {
        const uint64_t middle = withData + (zero - withData) / 2;
        (IsZeroBlock(reader, middle) ? zero : withData) = middle;
    }
    return zero * kZeroBlockBytes;
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

// Saturated: a file of more than about 27 hours at 44100 Hz would otherwise
// wrap to a short one.
uint32_t SaturatedLength(uint64_t samples) {
    constexpr uint64_t kMaximumLength = std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(samples < kMaximumLength ? samples : kMaximumLength);
}

// The frames in the file by the sampled frames' exact average length.
double EstimatedFrames(uint64_t fileSize, const FrameSample& sample) {
    if (sample.frameLengthSum == 0) return 0;
    return static_cast<double>(fileSize) * sample.count / static_cast<double>(sample.frameLengthSum);
}

// The trimmed timeline's length when the LAME tag gives one, else the Xing
// frame's count of frames, else the estimate.
uint32_t LengthInSamples(const MpegGapless& gapless, double estimatedFrames, int32_t samplesPerFrame) {
    if (samplesPerFrame <= 0) return 0;
    if (gapless.kept != 0) return SaturatedLength(gapless.kept);
    const auto perFrame = static_cast<uint64_t>(samplesPerFrame);
    if (gapless.frames != 0) return SaturatedLength(uint64_t{gapless.frames} * perFrame);
    constexpr double kMaximumFrames = double(std::numeric_limits<uint32_t>::max());
    return SaturatedLength(static_cast<uint64_t>(std::min(estimatedFrames, kMaximumFrames)) * perFrame);
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
    const uint64_t fileSize = AudioEnd(reader, reader.ReaderSize());
    reader.EndAt(fileSize);
    // From the middle of the audio, else from its start: in a file of a few
    // frames the middle may hold only a false sync.
    engine.sourceFormat = PlayerSourceFormat{};
    engine.mpegGapless = MpegGapless{};
    FrameSample sample;
    for (const uint64_t from : {fileSize / 2, uint64_t{0}}) {
        if (reader.ReaderSeek(static_cast<int64_t>(from), SEEK_FROM_START) == kNoPosition) return false;
        const uint64_t firstSync = FindFrameSync(reader, kSyncSearchBytes);
        if (firstSync != kNoPosition) SampleFrames(engine, firstSync, sample);
        if (sample.count != 0) break;
    }
    if (sample.count == 0) return false;

    const double estimatedFrames = EstimatedFrames(fileSize, sample);
    engine.mpegGapless = ReadMpegGapless(reader, engine.sourceFormat, estimatedFrames);
    reader.ReaderSeek(0, SEEK_FROM_START);
    engine.sourceFormat.frameLength = static_cast<int32_t>(sample.frameLengthSum / sample.count);
    engine.sourceFormat.bitrate = static_cast<int32_t>(sample.bitrateSum / sample.count);
    engine.length = LengthInSamples(engine.mpegGapless, estimatedFrames, engine.sourceFormat.samplesPerFrame);
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
    // On the trimmed timeline, counted from the first audio frame.
    const MpegGapless& gapless = engine.mpegGapless;
    const uint64_t frame = FirstFrameFor(gapless, target, format.samplesPerFrame, format.frameLength);
    const auto frameStart = static_cast<uint32_t>(
        std::min<uint64_t>(frame * static_cast<uint64_t>(std::max(format.samplesPerFrame, 0)), UINT32_MAX));
    const uint64_t offset = gapless.audioStart + MpegSeekOffset(frameStart, format.samplesPerFrame, format.frameLength);
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
