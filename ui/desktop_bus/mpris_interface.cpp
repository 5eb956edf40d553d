#include "ui/desktop_bus/mpris_interface.h"

#include <systemd/sd-bus.h>

#include "playlist/media_types.h"
#include "ui/desktop_bus/mpris_service.h"
#include "ui/shell/application.h"

namespace {

using Kind = MprisCommand::Kind;

MprisService& ServiceOf(void* userdata) { return *static_cast<MprisService*>(userdata); }

MprisCommand Command(Kind kind, int64_t microseconds = 0) {
    MprisCommand command;
    command.kind = kind;
    command.microseconds = microseconds;
    return command;
}

// The calls carry nothing back: the command is queued and the reply goes at once.
template <Kind kind>
int QueueCommand(sd_bus_message* call, void* userdata, sd_bus_error*) {
    ServiceOf(userdata).Queue(Command(kind));
    return sd_bus_reply_method_return(call, nullptr);
}

int Seek(sd_bus_message* call, void* userdata, sd_bus_error*) {
    int64_t offset = 0;
    if (const int result = sd_bus_message_read(call, "x", &offset); result < 0) return result;
    ServiceOf(userdata).Queue(Command(Kind::Seek, offset));
    return sd_bus_reply_method_return(call, nullptr);
}

int SetPosition(sd_bus_message* call, void* userdata, sd_bus_error*) {
    const char* track = nullptr;
    int64_t position = 0;
    if (const int result = sd_bus_message_read(call, "ox", &track, &position); result < 0) return result;
    MprisCommand command = Command(Kind::SetPosition, position);
    command.trackId = track;
    ServiceOf(userdata).Queue(std::move(command));
    return sd_bus_reply_method_return(call, nullptr);
}

int OpenUri(sd_bus_message* call, void* userdata, sd_bus_error* error) {
    const char* uri = nullptr;
    if (const int result = sd_bus_message_read(call, "s", &uri); result < 0) return result;
    std::string item = ItemFromOpenUri(uri);
    if (item.empty()) {
        return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Only file, http and https addresses open");
    }
    // The open path waits for a dialog in front of the player to close.
    ServiceOf(userdata).Owner().RequestOpen({{std::move(item)}, false});
    return sd_bus_reply_method_return(call, nullptr);
}

int SetVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void* userdata,
              sd_bus_error*) {
    double volume = 0.0;
    if (const int result = sd_bus_message_read(value, "d", &volume); result < 0) return result;
    MprisCommand command = Command(Kind::SetVolume);
    command.volume = volume;
    ServiceOf(userdata).Queue(command);
    return 0;
}

// Getters of the copied state. Each field has its own small function so the
// vtables stay tables.
#define MPRIS_GETTER(name, signature, expression)                                                       \
    int name(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,     \
             sd_bus_error*) {                                                                           \
        const MprisState state = ServiceOf(userdata).State();                                           \
        return sd_bus_message_append(reply, signature, expression);                                     \
    }

MPRIS_GETTER(GetPlaybackStatus, "s", state.playbackStatus.c_str())
MPRIS_GETTER(GetLoopStatus, "s", state.loopStatus.c_str())
MPRIS_GETTER(GetShuffle, "b", static_cast<int>(state.shuffle))
MPRIS_GETTER(GetVolume, "d", state.volume)
MPRIS_GETTER(GetPosition, "x", PositionAt(state, MprisClock::now()))
MPRIS_GETTER(GetCanGoNext, "b", static_cast<int>(state.canGoNext))
MPRIS_GETTER(GetCanGoPrevious, "b", static_cast<int>(state.canGoPrevious))
MPRIS_GETTER(GetCanPlay, "b", static_cast<int>(state.canPlay))
MPRIS_GETTER(GetCanPause, "b", static_cast<int>(state.canPause))
MPRIS_GETTER(GetCanSeek, "b", static_cast<int>(state.canSeek))
#undef MPRIS_GETTER

int GetMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                sd_bus_error*) {
    const MprisMetadata metadata = ServiceOf(userdata).State().metadata;
    int result = sd_bus_message_open_container(reply, 'a', "{sv}");
    auto text = [&](const char* key, const std::string& value) {
        if (result >= 0 && !value.empty()) result = sd_bus_message_append(reply, "{sv}", key, "s", value.c_str());
    };
    if (result >= 0) result = sd_bus_message_append(reply, "{sv}", "mpris:trackid", "o", metadata.trackId.c_str());
    if (result >= 0 && metadata.lengthUs > 0) {
        result = sd_bus_message_append(reply, "{sv}", "mpris:length", "x", metadata.lengthUs);
    }
    text("xesam:title", metadata.title);
    text("xesam:album", metadata.album);
    text("xesam:url", metadata.url);
    text("mpris:artUrl", metadata.artUrl);
    if (result >= 0 && !metadata.artist.empty()) {
        result = sd_bus_message_append(reply, "{sv}", "xesam:artist", "as", 1, metadata.artist.c_str());
    }
    if (result >= 0 && !metadata.genre.empty()) {
        result = sd_bus_message_append(reply, "{sv}", "xesam:genre", "as", 1, metadata.genre.c_str());
    }
    if (result >= 0 && metadata.trackNumber > 0) {
        result = sd_bus_message_append(reply, "{sv}", "xesam:trackNumber", "i", metadata.trackNumber);
    }
    if (result >= 0) result = sd_bus_message_close_container(reply);
    return result;
}

int GetTrue(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "b", 1);
}

int GetFalse(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "b", 0);
}

int GetRate(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", 1.0);
}

int GetIdentity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "Tunelark");
}

int GetDesktopEntry(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "tunelark");
}

int GetUriSchemes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "as", 3, "file", "http", "https");
}

int GetMimeTypes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    int result = sd_bus_message_open_container(reply, 'a', "s");
    for (const char* type : SupportedMimeTypes()) {
        if (result >= 0) result = sd_bus_message_append(reply, "s", type);
    }
    return result >= 0 ? sd_bus_message_close_container(reply) : result;
}

constexpr uint64_t kConst = SD_BUS_VTABLE_PROPERTY_CONST;
constexpr uint64_t kChanges = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;

const sd_bus_vtable kRootVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", QueueCommand<Kind::Raise>, 0),
    SD_BUS_METHOD("Quit", "", "", QueueCommand<Kind::Quit>, 0),
    SD_BUS_PROPERTY("CanQuit", "b", GetTrue, 0, kConst),
    SD_BUS_PROPERTY("CanRaise", "b", GetTrue, 0, kConst),
    SD_BUS_PROPERTY("HasTrackList", "b", GetFalse, 0, kConst),
    SD_BUS_PROPERTY("Identity", "s", GetIdentity, 0, kConst),
    SD_BUS_PROPERTY("DesktopEntry", "s", GetDesktopEntry, 0, kConst),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", GetUriSchemes, 0, kConst),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", GetMimeTypes, 0, kConst),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kPlayerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("PlayPause", "", "", QueueCommand<Kind::PlayPause>, 0),
    SD_BUS_METHOD("Play", "", "", QueueCommand<Kind::Play>, 0),
    SD_BUS_METHOD("Pause", "", "", QueueCommand<Kind::Pause>, 0),
    SD_BUS_METHOD("Stop", "", "", QueueCommand<Kind::Stop>, 0),
    SD_BUS_METHOD("Next", "", "", QueueCommand<Kind::Next>, 0),
    SD_BUS_METHOD("Previous", "", "", QueueCommand<Kind::Previous>, 0),
    SD_BUS_METHOD("Seek", "x", "", Seek, 0),
    SD_BUS_METHOD("SetPosition", "ox", "", SetPosition, 0),
    SD_BUS_METHOD("OpenUri", "s", "", OpenUri, 0),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", GetPlaybackStatus, 0, kChanges),
    SD_BUS_PROPERTY("LoopStatus", "s", GetLoopStatus, 0, kChanges),
    SD_BUS_PROPERTY("Shuffle", "b", GetShuffle, 0, kChanges),
    SD_BUS_PROPERTY("Rate", "d", GetRate, 0, kConst),
    SD_BUS_PROPERTY("MinimumRate", "d", GetRate, 0, kConst),
    SD_BUS_PROPERTY("MaximumRate", "d", GetRate, 0, kConst),
    SD_BUS_PROPERTY("Metadata", "a{sv}", GetMetadata, 0, kChanges),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", GetVolume, SetVolume, 0, kChanges),
    // Clients ask for the position; it is never announced.
    SD_BUS_PROPERTY("Position", "x", GetPosition, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", GetCanGoNext, 0, kChanges),
    SD_BUS_PROPERTY("CanGoPrevious", "b", GetCanGoPrevious, 0, kChanges),
    SD_BUS_PROPERTY("CanPlay", "b", GetCanPlay, 0, kChanges),
    SD_BUS_PROPERTY("CanPause", "b", GetCanPause, 0, kChanges),
    SD_BUS_PROPERTY("CanSeek", "b", GetCanSeek, 0, kChanges),
    SD_BUS_PROPERTY("CanControl", "b", GetTrue, 0, kConst),
    SD_BUS_VTABLE_END,
};

}  // namespace

int AddMprisInterfaces(sd_bus* bus, MprisService& service) {
    const int result = sd_bus_add_object_vtable(bus, nullptr, kMprisObjectPath, kMprisRootInterface, kRootVtable,
                                                &service);
    if (result < 0) return result;
    return sd_bus_add_object_vtable(bus, nullptr, kMprisObjectPath, kMprisPlayerInterface, kPlayerVtable, &service);
}
