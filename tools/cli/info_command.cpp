#include "tools/cli/info_command.h"

#include <cstdio>

#include "engine/player.h"
#include "tools/cli/json_writer.h"
#include "tools/cli/stream_source.h"

namespace {

const char* SourceName(PlayerSource source) {
    switch (source) {
        case SOURCE_MPEG_FILE: return "mpeg";
        case SOURCE_OGG_FILE: return "ogg";
        case SOURCE_FLAC_FILE: return "flac";
        case SOURCE_OPUS_FILE: return "opus";
        case SOURCE_WAVE_FILE: return "wave";
        case SOURCE_MPEG_STREAM: return "stream";
        case SOURCE_NONE: break;
    }
    return "none";
}

void AddText(JsonObject& object, std::string_view key, const std::string& text) {
    if (text.empty()) {
        object.AddNull(key);
    } else {
        object.Add(key, text);
    }
}

JsonObject DescribeTag(const PlayerTag& tag) {
    std::string genreName;
    PlayerGetGenreName(tag.genre, &genreName);
    JsonObject object;
    object.Add("title", tag.title)
        .Add("artist", tag.artist)
        .Add("album", tag.album)
        .Add("comment", tag.comment)
        .Add("year", int64_t{tag.year})
        .Add("genre", int64_t{tag.genre});
    if (genreName.empty()) {
        object.AddNull("genre_name");
    } else {
        object.Add("genre_name", genreName);
    }
    // Added after the fields other programs already read, which keep their
    // meaning: "genre" stays the ID3v1 byte, "genre_text" is the tag's own name.
    object.Add("track", int64_t{tag.track});
    AddText(object, "genre_text", tag.genreText);
    return object;
}

void AddFormat(JsonObject& object, const PlayerSourceFormat& format) {
    object.Add("version", int64_t{format.version})
        .Add("layer", int64_t{format.layer})
        .Add("channels", int64_t{format.channels})
        .Add("sample_rate", int64_t{format.sampleRate})
        .Add("bitrate", int64_t{format.bitrate})
        .Add("frame_length", int64_t{format.frameLength})
        .Add("samples_per_frame", int64_t{format.samplesPerFrame});
}

// A stream is known only once it plays: the format comes from its first
// frames, the station from the response headers. Played silently, then stopped.
std::string DescribeStream(PlayerEngine* engine, const std::string& url) {
    JsonObject object;
    object.Add("url", url);
    const bool playing = PlayerOpenURL(engine, url) && PlayerPlay(engine);
    object.Add("playable", playing).Add("source", SourceName(PlayerGetSourceKind(engine)));
    PlayerSourceFormat format;
    PlayerGetSourceFormat(engine, &format);
    AddFormat(object, format);
    std::string name, genre, stationUrl, title;
    PlayerGetStreamInfo(engine, &name, &genre, &stationUrl);
    PlayerGetStreamTitle(engine, &title);
    AddText(object, "station_name", name);
    AddText(object, "genre", genre);
    AddText(object, "station_url", stationUrl);
    AddText(object, "title", title);
    PlayerClose(engine);
    return object.Text();
}

std::string DescribeFile(PlayerEngine* engine, const std::string& path) {
    JsonObject object;
    object.Add("path", path).Add("playable", PlayerIsPlayableFile(path) != 0);

    PlayerOpen(engine, path);
    PlayerSourceFormat format;
    PlayerGetSourceFormat(engine, &format);
    object.Add("source", SourceName(PlayerGetSourceKind(engine)));
    AddFormat(object, format);
    object.Add("duration_ms", int64_t{PlayerGetDuration(engine)});

    PlayerTag tag;
    if (PlayerGetTag(engine, &tag)) {
        object.Add("tag", DescribeTag(tag));
    } else {
        object.AddNull("tag");
    }
    PlayerClose(engine);
    return object.Text();
}

}  // namespace

int RunInfoCommand(const std::vector<std::string>& paths) {
    PlayerEngine* engine = PlayerCreate();
    if (engine == nullptr) {
        std::fprintf(stderr, "tunelark-cli: cannot create the engine\n");
        return 1;
    }
    // A stream plays while it is described; nobody needs to hear it.
    PlayerSetOutputDevice(engine, platform::WaveBackend::Null);
    for (const std::string& argument : paths) {
        // A station list is described entry by entry.
        for (const SourceEntry& entry : ExpandArgument(argument, "info")) {
            const std::string& path = entry.location;
            const std::string line = IsUrl(path) ? DescribeStream(engine, path) : DescribeFile(engine, path);
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        }
    }
    PlayerDestroy(engine);
    return 0;
}
