#include "engine/mpeg_gapless.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/file_reader.h"
#include "engine/mpeg_file.h"
#include "engine/xing_frame.h"

namespace engine {
namespace {

// An ID3v2 tag: "ID3", version, revision, flags, then its size in four
// 7-bit bytes; a footer flag adds ten bytes after it.
constexpr size_t kId3v2HeaderBytes = 10;
constexpr uint8_t kId3v2FooterFlag = 0x10;
// The longest Layer III frame: MPEG-1 at 320 kbit/s and 32000 Hz, padded.
constexpr size_t kLongestLayer3Frame = 144 * 320000 / 32000 + 1;
// How far back a Layer III frame's data may begin, in earlier frames.
constexpr int32_t kLongestReservoirBytes = 511;
// How far after the tag the first frame is looked for.
constexpr uint64_t kFirstFrameSearchBytes = 4096;

uint64_t AfterId3v2Tag(FileReader& reader) {
    std::array<uint8_t, kId3v2HeaderBytes> tag{};
    size_t bytesRead = 0;
    if (reader.ReaderSeek(0, SEEK_FROM_START) == kNoPosition ||
        !reader.ReaderRead(tag.data(), tag.size(), &bytesRead) || bytesRead < tag.size() ||
        std::memcmp(tag.data(), "ID3", 3) != 0) {
        return 0;
    }
    uint64_t size = 0;
    for (size_t index = 6; index < kId3v2HeaderBytes; ++index) {
        if ((tag[index] & 0x80) != 0) return 0;
        size = (size << 7) | tag[index];
    }
    return kId3v2HeaderBytes + size + ((tag[5] & kId3v2FooterFlag) != 0 ? kId3v2HeaderBytes : 0);
}

// Samples to drop and keep by the LAME tag; none when they do not fit the frames.
void ApplyEncoderTrim(const XingFrame& xing, MpegGapless& gapless) {
    const uint64_t decoded = uint64_t{xing.frames} * static_cast<uint64_t>(xing.header.samplesPerFrame);
    const uint64_t trimmed = uint64_t{xing.encoderDelay} + xing.padding;
    if (!xing.hasEncoderTrim || xing.frames == 0 || trimmed >= decoded) return;
    gapless.skipped = xing.encoderDelay + kMpegDecoderDelay;
    gapless.kept = decoded - trimmed;
}

}  // namespace

MpegGapless ReadMpegGapless(FileReader& reader, const MpegHeader& format, double estimatedFrames) {
    const uint64_t tagEnd = AfterId3v2Tag(reader);
    if (reader.ReaderSeek(static_cast<int64_t>(tagEnd), SEEK_FROM_START) == kNoPosition) return {};
    const uint64_t start = FindFrameSync(reader, kFirstFrameSearchBytes);
    if (start == kNoPosition) return {};
    std::array<uint8_t, kLongestLayer3Frame> frame{};
    size_t bytesRead = 0;
    if (!reader.ReaderRead(frame.data(), frame.size(), &bytesRead)) return {};

    XingFrame xing;
    if (!ParseXingFrame(frame.data(), bytesRead, &xing) || !SameStream(xing.header, format) ||
        static_cast<size_t>(xing.header.frameLength) > bytesRead) {
        return {};
    }
    MpegGapless gapless;
    gapless.audioStart = start + static_cast<uint64_t>(xing.header.frameLength);
    // A count far from the estimate is damage, and so is the rest of the frame.
    if (xing.frames == 0 || xing.frames < estimatedFrames / 2 || xing.frames > estimatedFrames * 2) return gapless;
    gapless.frames = xing.frames;
    ApplyEncoderTrim(xing, gapless);
    return gapless;
}

uint64_t FirstFrameFor(const MpegGapless& gapless, uint32_t trimmedSample, int32_t samplesPerFrame,
                       int32_t averageFrameLength) {
    if (samplesPerFrame <= 0) return 0;
    const uint64_t frame = (uint64_t{trimmedSample} + gapless.skipped) / static_cast<uint64_t>(samplesPerFrame);
    if (gapless.kept == 0 || averageFrameLength <= 0) return frame;
    const auto preroll = static_cast<uint64_t>(kLongestReservoirBytes / averageFrameLength + 2);
    return frame > preroll ? frame - preroll : 0;
}

void FrameTrim::Restart(uint32_t trimmedSample, uint64_t firstFrame, int32_t samplesPerFrame) {
    if (end_ == 0 || samplesPerFrame <= 0) return;
    start_ = uint64_t{trimmedSample} + skipped_;
    decoded_ = firstFrame * static_cast<uint64_t>(samplesPerFrame);
}

size_t FrameTrim::Keep(uint8_t* pcm, size_t bytes, size_t bytesPerSampleFrame, bool halfRate) {
    if (end_ == 0 || bytesPerSampleFrame == 0) return bytes;
    const uint64_t rateDivisor = halfRate ? 2 : 1;
    const uint64_t samples = bytes / bytesPerSampleFrame * rateDivisor;
    const uint64_t frameStart = decoded_;
    decoded_ += samples;
    const uint64_t from = std::clamp(start_, frameStart, decoded_) - frameStart;
    const uint64_t to = std::clamp(end_, frameStart, decoded_) - frameStart;
    const size_t keptFrom = static_cast<size_t>(from / rateDivisor) * bytesPerSampleFrame;
    const size_t keptTo = static_cast<size_t>(to / rateDivisor) * bytesPerSampleFrame;
    if (keptFrom > 0 && keptTo > keptFrom) std::memmove(pcm, pcm + keptFrom, keptTo - keptFrom);
    return keptTo > keptFrom ? keptTo - keptFrom : 0;
}

}  // namespace engine
