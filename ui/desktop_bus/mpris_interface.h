#pragma once

// The two interfaces of /org/mpris/MediaPlayer2 as sd-bus vtables: the root
// (identity, raise, quit) and the player (transport, position, metadata).

struct sd_bus;
class MprisService;

inline constexpr const char* kMprisBusName = "org.mpris.MediaPlayer2.tunelark";
inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kMprisRootInterface = "org.mpris.MediaPlayer2";
inline constexpr const char* kMprisPlayerInterface = "org.mpris.MediaPlayer2.Player";

// Adds both interfaces to `bus`, answering through `service`; a negative
// errno when sd-bus refuses.
int AddMprisInterfaces(sd_bus* bus, MprisService& service);
