// The one table of source kinds, and the one place where the engine reaches
// into formats/: every format is known to the engine only through its entry here.

#include "engine/source_registry.h"

#include "engine/decoding_thread.h"
#include "engine/mpeg_file.h"
#include "engine/mpeg_source.h"
#include "engine/player_engine.h"
#include "formats/flac/flac_source.h"
#include "formats/id3/id3v1.h"
#include "formats/ogg/ogg_source.h"
#include "formats/opus/opus_source.h"
#include "formats/pcm/decoded_pcm.h"
#include "formats/stream/stream_reader.h"
#include "formats/stream/stream_source.h"
#include "formats/stream/stream_thread.h"
#include "formats/tags/tag_reader.h"
#include "formats/wave/wave_source.h"

namespace engine {
namespace {

// ID3v1 first, then ID3v2 and APE laid over it: a file with both shows the
// ID3v2 texts, which are not cut to ID3v1's 30 bytes. Tags are read through
// readers of their own, never the playing file's.
bool ReadMpegFileTag(const std::string& path, PlayerTag* tag) {
    const bool id3v1 = ReadId3v1Tag(path, *tag);
    const bool newer = ReadContainerTag(path, TagContainer::Mpeg, *tag);
    return id3v1 || newer;
}

bool ReadOpenMpegTag(PlayerEngine& engine, PlayerTag* tag) {
    return ReadMpegFileTag(engine.path, tag);
}

bool ReadMpegFileCover(const std::string& path, PlayerPicture* picture) {
    return ReadContainerCover(path, TagContainer::Mpeg, *picture);
}

// RIFF INFO and the "id3 " chunk; a WAVE file without them has no tag.
bool ReadWaveFileTag(const std::string& path, PlayerTag* tag) {
    *tag = PlayerTag{};
    return ReadContainerTag(path, TagContainer::Wave, *tag);
}

bool ReadOpenWaveTag(PlayerEngine& engine, PlayerTag* tag) {
    return ReadWaveFileTag(engine.path, tag);
}

bool ReadWaveFileCover(const std::string& path, PlayerPicture* picture) {
    return ReadContainerCover(path, TagContainer::Wave, *picture);
}

// PlayerOpen tries the file kinds in this order: the content decides, never
// the name. FLAC and Opus, whose signatures open the file, come before MPEG,
// whose sync search would look into an ID3v2-tagged FLAC file; MPEG comes
// before WAVE so that MPEG inside RIFF WAVE plays as MPEG.
// What a kind leaves out it does not have (source_registry.h).
constexpr SourceOperations kSources[] = {
    {.kind = SOURCE_FLAC_FILE, .location = SourceLocation::File,
     .open = FlacOpen, .close = FlacClose, .probe = FlacProbe,
     .seek = FlacSeek, .rewind = FlacRewind,
     .thread = FlacThread, .outputFormat = DecodedPcmOutputFormat, .blockCapacity = DecodedPcmBlockCapacity,
     .tag = FlacGetTag, .fileTag = FlacReadFileTag, .fileCover = FlacReadFileCover},
    {.kind = SOURCE_OPUS_FILE, .location = SourceLocation::File,
     .open = OpusOpen, .close = OpusClose, .probe = OpusProbe,
     .seek = OpusSeek, .rewind = OpusRewind,
     .thread = OpusThread, .outputFormat = DecodedPcmOutputFormat, .blockCapacity = DecodedPcmBlockCapacity,
     .tag = OpusGetTag, .fileTag = OpusReadFileTag, .fileCover = OpusReadFileCover},
    {.kind = SOURCE_MPEG_FILE, .location = SourceLocation::File,
     .open = OpenMpegFile, .probe = ProbeMpegFile,
     .seek = MpegSeek, .rewind = RewindMpegFile, .afterStop = RewindMpegFile,
     .thread = MpegFileThread, .outputFormat = MpegOutputFormat, .blockCapacity = MpegBlockCapacity,
     .tag = ReadOpenMpegTag, .fileTag = ReadMpegFileTag, .fileCover = ReadMpegFileCover},
    {.kind = SOURCE_OGG_FILE, .location = SourceLocation::File,
     .open = OggOpen, .close = OggClose, .probe = OggProbe,
     .seek = OggSeek, .rewind = OggRewind,
     .thread = OggThread, .outputFormat = OggOutputFormat, .blockCapacity = OggBlockCapacity,
     .tag = OggGetTag, .fileTag = OggReadFileTag, .fileCover = OggReadFileCover},
    {.kind = SOURCE_WAVE_FILE, .location = SourceLocation::File,
     .open = WaveOpen, .close = WaveClose, .probe = WaveProbe,
     .seek = WaveSeek, .rewind = WaveRewind,
     .thread = WaveThread, .outputFormat = WaveOutputFormat, .blockCapacity = WaveBlockCapacity,
     .tag = ReadOpenWaveTag, .fileTag = ReadWaveFileTag, .fileCover = ReadWaveFileCover},
    {.kind = SOURCE_MPEG_STREAM, .location = SourceLocation::Url,
     .open = OpenStreamSource, .close = CloseStreamSource,
     .thread = StreamThread, .outputFormat = MpegOutputFormat, .blockCapacity = MpegBlockCapacity,
     .interrupt = InterruptStreamSource, .setNotifyWindow = SetStreamNotifyWindow},
};

}  // namespace

std::span<const SourceOperations> RegisteredSources() {
    return kSources;
}

StreamReaderHandle MakeStreamReader() {
    return StreamReaderHandle(new StreamReader());
}

void StreamReaderDeleter::operator()(StreamReader* reader) const {
    delete reader;
}

}  // namespace engine
