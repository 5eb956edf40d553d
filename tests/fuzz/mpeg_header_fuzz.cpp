// MPEG audio before any decoding: every four bytes of the input as a frame
// header, where the cheap sync test and the full parse must agree and a
// parsed header must describe a frame the decoder can hold; the input as a
// Xing frame with its LAME tag; then the whole input as a file through the
// probe and, when it passes, the open scan with its trimmed timeline.

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/mpeg_file.h"
#include "engine/mpeg_header.h"
#include "engine/player.h"
#include "engine/player_engine.h"
#include "engine/xing_frame.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace engine;

// The longest frame: MPEG-2.5, 160 kbit/s at 8000 Hz, padded.
constexpr int32_t kLongestFrame = 2881;

bool IsSampleRate(int32_t rate) {
    for (const int32_t known : {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000}) {
        if (rate == known) return true;
    }
    return false;
}

void CheckHeader(const uint8_t* bytes) {
    MpegHeader header;
    const bool parsed = ParseMpegHeader(bytes, &header) == 1;
    fuzz::Check(parsed == PassesQuickSyncTest(bytes), "the quick sync test agrees with the full parse");
    if (!parsed) return;
    fuzz::Check(header.version >= 1 && header.version <= 3 && header.layer >= 1 && header.layer <= 3,
                "a parsed header has a known version and layer");
    fuzz::Check(header.channels == 1 || header.channels == 2, "a parsed header has one or two channels");
    fuzz::Check(IsSampleRate(header.sampleRate) && header.bitrate > 0, "a parsed header has a rate and a bitrate");
    fuzz::Check(header.frameLength > 4 && header.frameLength <= kLongestFrame,
                "a parsed frame is longer than its header and no longer than the longest frame");
    fuzz::Check(header.samplesPerFrame == 384 || header.samplesPerFrame == 576 || header.samplesPerFrame == 1152,
                "a parsed frame holds 384, 576 or 1152 samples");
}

// The LAME tag's delay and padding are 12-bit fields; only a Layer III frame is a Xing frame.
void CheckXingFrame(const uint8_t* data, size_t size) {
    XingFrame xing;
    if (!ParseXingFrame(data, size, &xing)) {
        fuzz::Check(xing.frames == 0 && !xing.hasEncoderTrim, "no Xing frame reports nothing");
        return;
    }
    fuzz::Check(xing.header.layer == 3, "a Xing frame is a Layer III frame");
    fuzz::Check(xing.encoderDelay < 4096 && xing.padding < 4096, "delay and padding are 12-bit");
}

// The trimmed timeline lies inside the decoded frames it counts.
void CheckTimeline(const PlayerEngine& engine) {
    const MpegGapless& gapless = engine.mpegGapless;
    if (gapless.kept == 0) return;
    const uint64_t decoded = uint64_t{gapless.frames} * static_cast<uint64_t>(engine.sourceFormat.samplesPerFrame);
    fuzz::Check(gapless.frames > 0 && gapless.audioStart > 0, "a trimmed timeline follows a Xing frame with a count");
    fuzz::Check(gapless.skipped >= kMpegDecoderDelay && gapless.kept < decoded,
                "the trimmed timeline is shorter than the decoded samples");
    fuzz::Check(engine.length == std::min<uint64_t>(gapless.kept, UINT32_MAX), "the length is the trimmed timeline's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (size_t offset = 0; offset + 4 <= size && offset < 4096; ++offset) CheckHeader(data + offset);

    CheckXingFrame(data, size);

    const std::string path = fuzz::WriteScratchFile("input.mp3", data, size);
    if (!ProbeMpegFile(path)) return 0;
    const std::unique_ptr<PlayerEngine, void (*)(PlayerEngine*)> engine(PlayerCreate(), PlayerDestroy);
    fuzz::Check(engine->fileReader.ReaderOpen(path) != 0, "the probed file opens");
    engine->path = path;
    if (MpegOpenScan(*engine)) {
        MpegHeader format = engine->sourceFormat;
        fuzz::Check(format.channels == 1 || format.channels == 2, "the scan finds one or two channels");
        fuzz::Check(IsSampleRate(format.sampleRate), "the scan finds a known sample rate");
        fuzz::Check(engine->fileReader.ReaderSeek(0, SEEK_FROM_CURRENT) == 0,
                    "the scan leaves the reader at the start");
        CheckTimeline(*engine);
    }
    engine->fileReader.ReaderClose();
    engine->path.clear();
    return 0;
}
