// Opening, probing, seeking and reading Ogg Vorbis files through Tremor.

#include "formats/ogg/ogg_source.h"

#include <tremor/ivorbisfile.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "engine/player_engine.h"
#include "formats/tags/tag_reader.h"
#include "platform/regular_file.h"
#include "platform/utf8.h"

namespace engine {

struct OggSource {
    OggVorbis_File decoder{};
    // The first link's layout, which the output was opened with.
    int channels = 0;
    long rate = 0;
};

namespace {

// Tremor writes 16-bit interleaved PCM; fewer free bytes than this are not
// worth a call.
constexpr size_t kMinimumReadBytes = 4096;
// The output is stereo at most.
constexpr int kMaximumChannels = 2;

}  // namespace

bool OggOpen(PlayerEngine& engine, const std::string& path) {
    if (path.empty()) return false;
    std::FILE* file = platform::OpenRegularFileStream(path);
    if (file == nullptr) return false;
    auto* source = new (std::nothrow) OggSource();
    if (source == nullptr) {
        std::fclose(file);
        return false;
    }
    // From a successful open on, Tremor owns the file and closes it.
    if (ov_open(file, &source->decoder, nullptr, 0) < 0) {
        delete source;
        std::fclose(file);
        return false;
    }
    engine.ogg = source;
    engine.path = path;

    const ogg_int64_t total = ov_pcm_total(&source->decoder, -1);
    const vorbis_info* info = ov_info(&source->decoder, -1);
    // A stream without samples, without information, or with more channels
    // than the output can take is refused.
    if (total <= 0 || info == nullptr || info->channels < 1 || info->channels > kMaximumChannels ||
        info->rate <= 0 || info->rate > INT32_MAX) {
        OggClose(engine);
        return false;
    }
    source->channels = info->channels;
    source->rate = info->rate;
    engine.length = static_cast<uint32_t>(total > INT32_MAX ? INT32_MAX : total);
    engine.sourceFormat = PlayerSourceFormat{};
    engine.sourceFormat.channels = info->channels;
    engine.sourceFormat.sampleRate = static_cast<int32_t>(info->rate);
    engine.sourceFormat.bitrate = static_cast<int32_t>(info->bitrate_nominal / 1000);
    return true;
}

void OggClose(PlayerEngine& engine) {
    if (engine.ogg == nullptr) return;
    ov_clear(&engine.ogg->decoder);  // also closes the file
    delete engine.ogg;
    engine.ogg = nullptr;
}

bool OggProbe(const std::string& path) {
    if (path.empty()) return false;
    std::FILE* file = platform::OpenRegularFileStream(path);
    if (file == nullptr) return false;
    OggVorbis_File test{};
    if (ov_test(file, &test, nullptr, 0) == 0) {
        ov_clear(&test);
        return true;
    }
    std::fclose(file);
    return false;
}

bool OggSeek(PlayerEngine& engine, int32_t milliseconds) {
    platform::CriticalSectionGuard decode(engine.decodeLock);
    if (engine.ogg == nullptr) return false;
    const int64_t target = int64_t{milliseconds} * engine.sourceFormat.sampleRate / 1000;
    if (ov_pcm_seek_page(&engine.ogg->decoder, target) != 0) return false;
    engine.seekPending = 1;
    // The page seek lands at or before the target: the position shows where.
    engine.seekBase = static_cast<uint32_t>(ov_pcm_tell(&engine.ogg->decoder));
    engine.waveOutput.Flush();
    return true;
}

void OggRewind(PlayerEngine& engine) {
    if (engine.ogg != nullptr) OggSeek(engine, 0);
}

int OggRead(OggSource* source, uint8_t* buffer, size_t length, size_t* bytes) {
    *bytes = 0;
    if (source == nullptr) return OGG_READ_ERROR;
    if (length < kMinimumReadBytes) return OGG_READ_ROOM_TOO_SMALL;
    const int room = length > INT_MAX ? INT_MAX : static_cast<int>(length);
    int link = -1;
    const long result = ov_read(&source->decoder, reinterpret_cast<char*>(buffer), room, &link);
    if (result == 0) return OGG_READ_END_OF_STREAM;
    if (result < 0) return OGG_READ_ERROR;
    // A chained file may go on with other channels or another rate, which the
    // open output cannot play: its frames would be cut apart or run at the
    // wrong speed. The playback ends where such a link begins.
    const vorbis_info* info = ov_info(&source->decoder, link);
    if (info == nullptr || info->channels != source->channels || info->rate != source->rate) {
        return OGG_READ_END_OF_STREAM;
    }
    *bytes = static_cast<size_t>(result);
    return OGG_READ_DELIVERED;
}

bool OggGetComments(const OggSource* source, OggComments* comments) {
    if (source == nullptr) return false;
    *comments = OggComments{};
    // ov_comment does not change the decoder; Tremor's signature lacks the const.
    vorbis_comment* stored = ov_comment(const_cast<OggVorbis_File*>(&source->decoder), -1);
    if (stored == nullptr) return true;
    // Keys match in any case: oggenc writes "title=", other taggers "TITLE=".
    for (int index = 0; index < stored->comments; ++index) {
        const char* text = stored->user_comments[index];
        if (text != nullptr) AddVorbisComment(text, comments);
    }
    return true;
}

// An open file has a tag, empty when TagLib finds none.
bool OggGetTag(PlayerEngine& engine, PlayerTag* tag) {
    if (engine.ogg == nullptr) return false;
    OggReadFileTag(engine.path, tag);
    return true;
}

bool OggReadFileTag(const std::string& path, PlayerTag* tag) {
    *tag = PlayerTag{};
    return ReadContainerTag(path, TagContainer::OggVorbis, *tag);
}

bool OggReadFileCover(const std::string& path, PlayerPicture* picture) {
    return ReadContainerCover(path, TagContainer::OggVorbis, *picture);
}

}  // namespace engine
