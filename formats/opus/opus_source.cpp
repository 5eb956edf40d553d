// Opening, probing, seeking and tagging Ogg Opus files.

#include "formats/opus/opus_source.h"

#include <algorithm>
#include <climits>
#include <new>

#include "engine/decoding_thread.h"
#include "engine/player_engine.h"
#include "formats/opus/opus_decoder.h"
#include "formats/tags/tag_reader.h"

namespace engine {

struct OpusSource {
    OpusFileDecoder decoder;
    DecodedPcm pcm;
};

namespace {

DecodeStep DecodeOpus(PlayerEngine& engine) {
    return engine.opus->decoder.DecodeNext(engine.opus->pcm);
}

}  // namespace

bool OpusOpen(PlayerEngine& engine, const std::string& path) {
    OpusClose(engine);
    if (!engine.fileReader.ReaderOpen(path)) return false;
    engine.opus = new (std::nothrow) OpusSource();
    if (engine.opus == nullptr || !engine.opus->decoder.Open(engine.fileReader)) {
        OpusClose(engine);
        return false;
    }
    const OpusFileDecoder& decoder = engine.opus->decoder;
    engine.path = path;
    engine.length = static_cast<uint32_t>(std::min<uint64_t>(decoder.TotalSamples(), INT32_MAX));
    engine.sourceFormat = PlayerSourceFormat{};
    engine.sourceFormat.channels = OutputChannelsFor(decoder.Channels());
    engine.sourceFormat.sampleRate = kOpusRate;
    engine.sourceFormat.bitrate = decoder.AverageKilobits();
    return true;
}

void OpusClose(PlayerEngine& engine) {
    delete engine.opus;
    engine.opus = nullptr;
}

bool OpusProbe(const std::string& path) {
    FileReader reader;
    return reader.ReaderOpen(path) && HasOpusSignature(reader);
}

bool OpusSeek(PlayerEngine& engine, int32_t milliseconds) {
    platform::CriticalSectionGuard decode(engine.decodeLock);
    if (engine.opus == nullptr || milliseconds < 0) return false;
    const uint64_t target = uint64_t(milliseconds) * kOpusRate / 1000;
    if (!engine.opus->decoder.SeekTo(target)) return false;
    // The frames still waiting are from before the seek.
    engine.opus->pcm.Clear();
    engine.seekPending = 1;
    engine.seekBase = static_cast<uint32_t>(target);
    engine.waveOutput.Flush();
    return true;
}

void OpusRewind(PlayerEngine& engine) {
    if (engine.opus != nullptr) OpusSeek(engine, 0);
}

void OpusThread(PlayerEngine& engine) {
    if (engine.opus == nullptr) {
        EndPlayback(engine, false);
        return;
    }
    RunDecodedPcmThread(engine, engine.opus->pcm, DecodeOpus);
}

// An open file has a tag, empty when TagLib finds none.
bool OpusGetTag(PlayerEngine& engine, PlayerTag* tag) {
    if (engine.opus == nullptr) return false;
    OpusReadFileTag(engine.path, tag);
    return true;
}

bool OpusReadFileTag(const std::string& path, PlayerTag* tag) {
    *tag = PlayerTag{};
    return ReadContainerTag(path, TagContainer::Opus, *tag);
}

bool OpusReadFileCover(const std::string& path, PlayerPicture* picture) {
    return ReadContainerCover(path, TagContainer::Opus, *picture);
}

}  // namespace engine
