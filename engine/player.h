#pragma once

// The engine's public interface: one PlayerEngine plays one source at a time.
// Every operation takes the engine first; results are 1 for success and 0 for
// failure, or a value that is 0 when nothing is open. The user interface calls
// these from its one thread and copies the records in and out whole.

#include <cstdint>
#include <string>

#include "engine/mpeg_header.h"
#include "platform/notify_window.h"
#include "platform/wave_out.h"

struct PlayerEngine;

enum PlayerStatus : int32_t {
    PLAYER_STOPPED = 0,
    PLAYER_PLAYING = 1,
    PLAYER_PAUSED = 2,
};

enum PlayerSource : int32_t {
    SOURCE_NONE = 0,
    SOURCE_MPEG_FILE = 1,
    SOURCE_OGG_FILE = 2,
    SOURCE_WAVE_FILE = 3,
    SOURCE_MPEG_STREAM = 4,
    SOURCE_FLAC_FILE = 5,
    SOURCE_OPUS_FILE = 6,
};

enum PlayerEffectKind : int32_t {
    EFFECT_FEEDBACK_ECHO = 0,
    EFFECT_ECHO = 1,
    EFFECT_WIDEN = 2,
};

// Posted to the notify window, never sent.
// WM_PLAYER_STATUS: wParam = the new PlayerStatus, lParam = 0.
constexpr uint32_t WM_PLAYER_STATUS = platform::WM_USER + 10001;
// A stopped report's lParam is kPlayerStartFailed when a playback begun with
// PlayerPlayAsync ended before its first audio without being asked to stop
// (PlayerGetStreamError says why); kPlayerDeviceLost when the sound device
// stopped playing by itself (the sound server went away, the card was
// unplugged; PlayerDeviceFailed says 1 and the next play tries again); 0
// otherwise.
constexpr intptr_t kPlayerStartFailed = 1;
constexpr intptr_t kPlayerDeviceLost = 2;
// WM_PLAYER_LEVEL: wParam = left peak 0..100, lParam = right peak 0..100.
constexpr uint32_t WM_PLAYER_LEVEL = platform::WM_USER + 10002;
// WM_PLAYER_STREAM_TITLE: posted by the stream reader's receive thread each
// time a metadata block brings a title; wParam = 0, lParam = 0. The message
// carries no pointer, so nothing can dangle or leak when it is read late or
// never: the receiver reads the text with PlayerGetStreamTitle, which returns
// the title of the last complete metadata block until a later block or
// PlayerClose replaces it. Two titles in quick succession may therefore both
// read as the second.
constexpr uint32_t WM_PLAYER_STREAM_TITLE = platform::WM_USER + 20001;

// The format of the open source: the seven fields of an MPEG frame header,
// filled by every format as far as they apply.
using PlayerSourceFormat = engine::MpegHeader;

struct PlayerFileInfo {
    int32_t version = 0;
    int32_t layer = 0;
    int32_t channels = 0;
    int32_t sampleRate = 0;   // Hz
    int32_t bitrate = 0;      // kbit/s
    int32_t duration = 0;     // ms
};

// Slider positions 0..63: 31 is 0 dB, 0 is +20 dB, 63 is -20 dB.
struct PlayerEqSettings {
    int32_t enabled = 0;
    int32_t preamp = 31;
    int32_t bands[10] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
};

// Echo kinds: enabled, delay in ms, level in percent.
// Widening: enabled, 0 (unused), strength in percent.
struct PlayerEffectParams {
    int32_t enabled = 0;
    int32_t delay = 0;
    int32_t level = 0;
};

struct PlayerOutputOptions {
    int32_t threadPriority = 3;  // 0 (highest) .. 7 (lowest); 3 is normal
    int32_t bufferCount = 8;     // 2 .. 128 output buffers
    int32_t bitsPerSample = 16;  // 8 or 16
    int32_t halfRate = 0;        // non-zero: MPEG decoded at half its rate
};

// Tag texts are UTF-8 and whole as the file has them; only a text longer
// than kTagTextCharacters characters, which no tagger writes but a damaged
// or hostile file may hold, is cut there.
constexpr size_t kTagTextCharacters = 1024;

struct PlayerTag {
    std::string title;
    std::string artist;
    std::string album;
    std::string comment;
    std::string genreText;  // the genre as the tag names it; empty when absent
    int32_t year = 0;       // 0 when absent or not numeric
    int32_t track = 0;      // the track number; 0 when absent or not numeric
    // The genre as an ID3v1 byte 0..255 (255 for a name outside the ID3v1
    // list); -1 when no tag was read or the tag names no genre.
    int32_t genre = -1;
};

// The embedded front cover of a file's tags, as stored: JPEG or PNG bytes
// and their MIME type. Pictures above kPlayerPictureBytes are left out.
constexpr size_t kPlayerPictureBytes = 16 * 1024 * 1024;

struct PlayerPicture {
    std::string mimeType;
    std::string bytes;
};

// Network streams (PlayerOpenURL with an "http://" or "https://" URL of at
// most 259 characters; https verifies the server's certificate against the
// system's trust store, or SSL_CERT_FILE / SSL_CERT_DIR when set, and never
// falls back to plain http). The pool holds bufferBlocks chunks of 2048
// bytes (1..4096); decoding starts once prebufferBlocks of them are filled
// (1..bufferBlocks).
// The proxy is "host:port", optionally after "http://"; empty connects
// directly. Proxy and user agent hold at most 259 characters and no control
// characters. PlayerSetStreamOptions refuses while a stream runs.
struct PlayerStreamOptions {
    int32_t bufferBlocks = 32;
    int32_t prebufferBlocks = 16;
    std::string proxy;
    std::string userAgent = "Unknown";
};

PlayerEngine* PlayerCreate();
void PlayerDestroy(PlayerEngine* engine);

int PlayerOpen(PlayerEngine* engine, const std::string& path);
int PlayerOpenURL(PlayerEngine* engine, const std::string& url);
void PlayerClose(PlayerEngine* engine);

// Starts the playback and waits until it has begun (1) or failed (0).
int PlayerPlay(PlayerEngine* engine);
// As PlayerPlay, but a network stream does not wait for its server: the
// status is PLAYING at once while PlayerIsConnecting says 1, a second playing
// report comes with the first audio, and a start that fails comes as a
// stopped report with kPlayerStartFailed. For the user-interface thread,
// which must never wait on the network. Files start as PlayerPlay starts them.
int PlayerPlayAsync(PlayerEngine* engine);
// 1 from PlayerPlayAsync on a stream until its first audio or its end.
int PlayerIsConnecting(PlayerEngine* engine);
// 1 when the last playback failed because no sound device could be opened,
// or ended because the device was lost.
int PlayerDeviceFailed(PlayerEngine* engine);
void PlayerPause(PlayerEngine* engine);
void PlayerStop(PlayerEngine* engine);
int PlayerForward(PlayerEngine* engine, int32_t milliseconds);
int PlayerRewind(PlayerEngine* engine, int32_t milliseconds);
int PlayerSeek(PlayerEngine* engine, int32_t milliseconds);

int32_t PlayerGetPosition(PlayerEngine* engine);
int32_t PlayerGetDuration(PlayerEngine* engine);
PlayerStatus PlayerGetStatus(PlayerEngine* engine);
void PlayerSetNotifyWindow(PlayerEngine* engine, platform::NotifyWindow* window);

void PlayerGetFileInfo(PlayerEngine* engine, PlayerFileInfo* info);
int PlayerGetTag(PlayerEngine* engine, PlayerTag* tag);
int PlayerReadFileTag(const std::string& path, PlayerTag* tag);
// The front cover (ID3v2 APIC, FLAC PICTURE, METADATA_BLOCK_PICTURE in Ogg),
// else the first picture of the file's tags; 0 when it has none.
int PlayerReadFileCover(const std::string& path, PlayerPicture* picture);
int PlayerIsPlayableFile(const std::string& path);
void PlayerGetGenreName(int32_t genre, std::string* name);

void PlayerSetEqualizer(PlayerEngine* engine, const PlayerEqSettings* settings);
void PlayerGetEqualizer(PlayerEngine* engine, PlayerEqSettings* settings);
void PlayerSetEffect(PlayerEngine* engine, int32_t kind, const PlayerEffectParams* params);
void PlayerGetEffect(PlayerEngine* engine, int32_t kind, PlayerEffectParams* params);
void PlayerSetBassBoost(PlayerEngine* engine, int32_t decibels);
int32_t PlayerGetBassBoost(PlayerEngine* engine);
int PlayerSetOutputOptions(PlayerEngine* engine, const PlayerOutputOptions* options);
void PlayerGetOutputOptions(PlayerEngine* engine, PlayerOutputOptions* options);

int PlayerGetStreamInfo(PlayerEngine* engine, std::string* name, std::string* genre, std::string* url);
int PlayerGetStreamTitle(PlayerEngine* engine, std::string* title);
// Why the stream's last connection failed, as a sentence for the user that
// names the server ("The certificate of radio.example.org could not be
// verified (...)."); 1 with the text, 0 (and empty text) when the last
// connection succeeded, none was tried, or it was stopped. Read it after
// PlayerPlay returned 0 or the playback ended; PlayerOpenURL and PlayerClose
// forget it.
int PlayerGetStreamError(PlayerEngine* engine, std::string* text);
int PlayerSetStreamOptions(PlayerEngine* engine, const PlayerStreamOptions* options);
void PlayerGetStreamOptions(PlayerEngine* engine, PlayerStreamOptions* options);

// The sound device of the next playback: real sound (the default), a silent
// real-time clock, or a capture of the PCM. TUNELARK_AUDIO overrides it.
void PlayerSetOutputDevice(PlayerEngine* engine, platform::WaveBackend backend,
                           const platform::CaptureSink& sink = {});

// For tools that report what the engine opened (tunelark-cli info).
PlayerSource PlayerGetSourceKind(PlayerEngine* engine);
void PlayerGetSourceFormat(PlayerEngine* engine, PlayerSourceFormat* format);
