#include "tools/cli/render_command.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "engine/player.h"
#include "platform/wave_file_writer.h"
#include "tools/cli/command_line.h"
#include "tools/cli/playback_watch.h"
#include "tools/cli/stream_source.h"

namespace {

constexpr int kFailureExitStatus = 1;
constexpr auto kWaitSlice = std::chrono::milliseconds(200);

struct RenderRequest {
    std::string input;
    std::string output;
    PlayerOutputOptions options;
    std::optional<PlayerEqSettings> equalizer;
    std::optional<int32_t> bass;
    std::optional<PlayerEffectParams> echo;
    std::optional<PlayerEffectParams> feedbackEcho;
    std::optional<int32_t> widen;
    std::optional<int32_t> seek;
    std::optional<int32_t> length;
};

std::optional<PlayerEffectParams> ParseEcho(const std::string& text) {
    const auto values = ParseIntegerList(text, 2);
    if (!values) return std::nullopt;
    return PlayerEffectParams{1, (*values)[0], (*values)[1]};
}

std::optional<PlayerEqSettings> ParseEqualizer(const std::string& text) {
    const auto values = ParseIntegerList(text, 12);
    if (!values) return std::nullopt;
    PlayerEqSettings settings;
    settings.enabled = (*values)[0];
    settings.preamp = (*values)[1];
    for (size_t band = 0; band < 10; ++band) settings.bands[band] = (*values)[band + 2];
    return settings;
}

// Fills `request` from the options; on a value it cannot take, says which.
std::optional<std::string> ReadRenderOptions(const platform::ParsedArguments& arguments, RenderRequest& request) {
    for (const platform::ParsedOption& option : arguments.options) {
        const std::string& name = option.name;
        const std::string& value = option.value;
        bool valid = true;
        if (name == "--half-rate") {
            request.options.halfRate = 1;
        } else if (name == "-o") {
            request.output = value;
            valid = !value.empty();
        } else if (name == "--bits") {
            const auto bits = ParseInteger(value, 8, 16);
            valid = bits && (*bits == 8 || *bits == 16);
            if (valid) request.options.bitsPerSample = *bits;
        } else if (name == "--buffers") {
            const auto count = ParseInteger(value, 2, 128);
            valid = count.has_value();
            if (valid) request.options.bufferCount = *count;
        } else if (name == "--eq") {
            request.equalizer = ParseEqualizer(value);
            valid = request.equalizer.has_value();
        } else if (name == "--bass") {
            request.bass = ParseInteger(value, INT32_MIN, INT32_MAX);
            valid = request.bass.has_value();
        } else if (name == "--echo") {
            request.echo = ParseEcho(value);
            valid = request.echo.has_value();
        } else if (name == "--feedback-echo") {
            request.feedbackEcho = ParseEcho(value);
            valid = request.feedbackEcho.has_value();
        } else if (name == "--widen") {
            request.widen = ParseInteger(value, INT32_MIN, INT32_MAX);
            valid = request.widen.has_value();
        } else if (name == "--seek") {
            request.seek = ParseInteger(value, 0, INT32_MAX);
            valid = request.seek.has_value();
        } else if (name == "--length") {
            request.length = ParseInteger(value, 0, INT32_MAX);
            valid = request.length.has_value();
        }
        if (!valid) return "bad value '" + value + "' for " + name;
    }
    request.input = arguments.operands.front();
    return std::nullopt;
}

void ApplySettings(PlayerEngine* engine, const RenderRequest& request) {
    PlayerSetOutputOptions(engine, &request.options);
    if (request.equalizer) PlayerSetEqualizer(engine, &*request.equalizer);
    if (request.bass) PlayerSetBassBoost(engine, *request.bass);
    if (request.echo) PlayerSetEffect(engine, EFFECT_ECHO, &*request.echo);
    if (request.feedbackEcho) PlayerSetEffect(engine, EFFECT_FEEDBACK_ECHO, &*request.feedbackEcho);
    if (request.widen) {
        const PlayerEffectParams widen{1, 0, *request.widen};
        PlayerSetEffect(engine, EFFECT_WIDEN, &widen);
    }
}

// Writes the captured PCM, up to the requested length, into the WAV file.
// Runs on the capture device's thread.
// A live stream is recorded at the pace it plays: the capture device has
// none, and a decoder that ran ahead would drain the buffer and reconnect
// again and again, recording the server's burst each time.
class RenderedFile {
public:
    RenderedFile(std::string path, std::optional<int32_t> lengthMs, PlaybackWatch& watch, bool realTime)
        : path_(std::move(path)), lengthMs_(lengthMs), watch_(watch), realTime_(realTime) {}

    void Append(const platform::WaveFormat& format, const uint8_t* pcm, size_t bytes) {
        const auto due = Record(format, pcm, bytes);
        // Sleeping on the device's thread holds the device back.
        if (due) std::this_thread::sleep_until(*due);
    }

    bool Full() {
        std::lock_guard lock(mutex_);
        return full_;
    }
    bool Finish(const platform::WaveFormat& fallbackFormat) {
        std::lock_guard lock(mutex_);
        // Nothing played (a zero length or an empty source): still a valid file.
        if (!started_) failed_ = !writer_.Begin(path_, fallbackFormat);
        return writer_.Finish() && !failed_;
    }

private:
    // Writes the PCM; when pacing, returns when the audio so far has played.
    std::optional<std::chrono::steady_clock::time_point> Record(const platform::WaveFormat& format,
                                                               const uint8_t* pcm, size_t bytes) {
        std::lock_guard lock(mutex_);
        if (!started_) {
            started_ = true;
            startTime_ = std::chrono::steady_clock::now();
            failed_ = !writer_.Begin(path_, format);
            if (lengthMs_) {
                const uint64_t frames = uint64_t(*lengthMs_) * format.sampleRate / 1000;
                remaining_ = frames * format.BlockAlign();
            }
        }
        const size_t take = std::min<uint64_t>(bytes, remaining_);
        if (take > 0 && !writer_.Append(pcm, take)) failed_ = true;
        remaining_ -= take;
        playedBytes_ += bytes;
        if (remaining_ == 0 && !full_) {
            full_ = true;
            watch_.Wake();
        }
        const uint64_t bytesPerSecond = uint64_t{format.BlockAlign()} * format.sampleRate;
        if (!realTime_ || full_ || bytesPerSecond == 0) return std::nullopt;
        return startTime_ + std::chrono::microseconds(playedBytes_ * 1000000 / bytesPerSecond);
    }

    std::mutex mutex_;
    const std::string path_;
    const std::optional<int32_t> lengthMs_;
    PlaybackWatch& watch_;
    platform::WaveFileWriter writer_;
    bool started_ = false;
    bool failed_ = false;
    bool full_ = false;
    uint64_t remaining_ = UINT64_MAX;
    const bool realTime_;
    std::chrono::steady_clock::time_point startTime_;
    uint64_t playedBytes_ = 0;
};

// Plays `source` through the capture device into the output file. Nothing
// when it did not start (after saying why), so that a list can go on to
// its next entry; otherwise the exit status.
std::optional<int> RenderSource(const RenderRequest& request, const std::string& source) {
    const bool stream = IsUrl(source);
    PlaybackWatch watch;
    RenderedFile rendered(request.output, request.length, watch, stream);
    PlayerEngine* engine = PlayerCreate();
    PlayerSetNotifyWindow(engine, &watch);
    platform::CaptureSink sink;
    sink.onPcm = [&rendered](const platform::WaveFormat& format, const uint8_t* pcm, size_t bytes) {
        rendered.Append(format, pcm, bytes);
    };
    PlayerSetOutputDevice(engine, platform::WaveBackend::Capture, sink);

    if (!OpenSourceOrUrl(engine, source, "render")) {
        PlayerDestroy(engine);
        return std::nullopt;
    }
    ApplySettings(engine, request);
    if (request.seek && !PlayerSeek(engine, *request.seek)) {
        std::fprintf(stderr, "tunelark-cli render: cannot seek to %d ms\n", *request.seek);
        PlayerDestroy(engine);
        return kFailureExitStatus;
    }
    if (!PlayerPlay(engine)) {
        std::string reason;
        if (stream && PlayerGetStreamError(engine, &reason)) {
            std::fprintf(stderr, "tunelark-cli render: playback did not start: %s\n", reason.c_str());
        } else {
            std::fprintf(stderr, "tunelark-cli render: playback did not start\n");
        }
        PlayerDestroy(engine);
        return std::nullopt;
    }
    while (!watch.Stopped() && !rendered.Full()) watch.Wait(kWaitSlice);
    PlayerStop(engine);

    PlayerSourceFormat format;
    PlayerGetSourceFormat(engine, &format);
    const platform::WaveFormat fallback{static_cast<uint16_t>(format.channels), static_cast<uint32_t>(format.sampleRate),
                                        static_cast<uint16_t>(request.options.bitsPerSample)};
    PlayerDestroy(engine);
    if (!rendered.Finish(fallback)) {
        std::fprintf(stderr, "tunelark-cli render: cannot write '%s'\n", request.output.c_str());
        return kFailureExitStatus;
    }
    // A stream never ends by itself: recording its length is success.
    return watch.Stopped() || (stream && rendered.Full()) ? 0 : kFailureExitStatus;
}

// A stream needs a length and cannot seek.
constexpr const char* kStreamsNeedALength = "a stream needs --length and cannot --seek";
bool FitsStreams(const RenderRequest& request) {
    return request.length && !request.seek;
}

}  // namespace

int RunRenderCommand(const platform::ParsedArguments& arguments) {
    // What the engine plays is rendered whatever device the environment
    // chooses for playing: the capture is the command.
    unsetenv("TUNELARK_AUDIO");
    const CliCommand& command = *FindCliCommand("render");
    RenderRequest request;
    if (const auto badValue = ReadRenderOptions(arguments, request)) return ReportMisuse(command, *badValue);
    if (request.output.empty()) return ReportMisuse(command, "no output file (-o OUT.wav)");
    if (IsUrl(request.input) && !FitsStreams(request)) return ReportMisuse(command, kStreamsNeedALength);
    // A station list renders its first entry that starts.
    const std::vector<SourceEntry> entries = ExpandArgument(request.input, "render");
    const bool anyStream =
        std::any_of(entries.begin(), entries.end(), [](const SourceEntry& entry) { return IsUrl(entry.location); });
    if (anyStream && !FitsStreams(request)) return ReportMisuse(command, kStreamsNeedALength);
    for (const SourceEntry& entry : entries) {
        if (const auto exitStatus = RenderSource(request, entry.location)) return *exitStatus;
    }
    return kFailureExitStatus;
}
