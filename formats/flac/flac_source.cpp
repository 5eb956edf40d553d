// Opening, probing, seeking and tagging FLAC files.

#include "formats/flac/flac_source.h"

#include <algorithm>
#include <climits>
#include <new>

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/flac/flac_decoder.h"
#include "formats/tags/tag_reader.h"

namespace engine {

struct FlacSource {
    FlacDecoder decoder;
    DecodedPcm pcm;
};

namespace {

constexpr uint64_t kBitsPerByte = 8;
constexpr uint64_t kBitsPerKilobit = 1000;

// The file's average: every byte of it over its playing time.
int32_t AverageKilobits(uint64_t fileBytes, const FlacStreamInfo& info) {
    const uint64_t bits = fileBytes * kBitsPerByte * static_cast<uint64_t>(info.sampleRate);
    return static_cast<int32_t>(std::min<uint64_t>(bits / info.totalSamples / kBitsPerKilobit, INT32_MAX));
}

DecodeStep DecodeFlac(PlayerEngine& engine) {
    return engine.flac->decoder.DecodeNext(engine.flac->pcm);
}

}  // namespace

bool FlacOpen(PlayerEngine& engine, const std::string& path) {
    FlacClose(engine);
    if (!engine.fileReader.ReaderOpen(path)) return false;
    engine.flac = new (std::nothrow) FlacSource();
    if (engine.flac == nullptr || !engine.flac->decoder.Open(engine.fileReader)) {
        FlacClose(engine);
        return false;
    }
    const FlacStreamInfo& info = engine.flac->decoder.Info();
    engine.path = path;
    engine.length = static_cast<uint32_t>(std::min<uint64_t>(info.totalSamples, INT32_MAX));
    engine.sourceFormat = PlayerSourceFormat{};
    engine.sourceFormat.channels = OutputChannelsFor(info.channels);
    engine.sourceFormat.sampleRate = info.sampleRate;
    engine.sourceFormat.bitrate = AverageKilobits(engine.fileReader.ReaderSize(), info);
    return true;
}

void FlacClose(PlayerEngine& engine) {
    delete engine.flac;
    engine.flac = nullptr;
}

bool FlacProbe(const std::string& path) {
    FileReader reader;
    return reader.ReaderOpen(path) && DetectFlacContainer(reader) != FlacContainer::None;
}

bool FlacSeek(PlayerEngine& engine, int32_t milliseconds) {
    platform::CriticalSectionGuard decode(engine.decodeLock);
    if (engine.flac == nullptr || milliseconds < 0) return false;
    const uint64_t target = uint64_t(milliseconds) * uint64_t(engine.sourceFormat.sampleRate) / 1000;
    // The frames still waiting are from before the seek.
    engine.flac->pcm.Clear();
    if (!engine.flac->decoder.SeekTo(target, engine.flac->pcm)) return false;
    engine.seekPending = 1;
    engine.seekBase = static_cast<uint32_t>(target);
    engine.waveOutput.Flush();
    return true;
}

void FlacRewind(PlayerEngine& engine) {
    if (engine.flac != nullptr) FlacSeek(engine, 0);
}

void FlacThread(PlayerEngine& engine) {
    if (engine.flac == nullptr) {
        EndPlayback(engine, false);
        return;
    }
    RunDecodedPcmThread(engine, engine.flac->pcm, DecodeFlac);
}

// An open file has a tag, empty when TagLib finds none.
bool FlacGetTag(PlayerEngine& engine, PlayerTag* tag) {
    if (engine.flac == nullptr) return false;
    FlacReadFileTag(engine.path, tag);
    return true;
}

bool FlacReadFileTag(const std::string& path, PlayerTag* tag) {
    *tag = PlayerTag{};
    return ReadContainerTag(path, TagContainer::Flac, *tag);
}

bool FlacReadFileCover(const std::string& path, PlayerPicture* picture) {
    return ReadContainerCover(path, TagContainer::Flac, *picture);
}

}  // namespace engine
