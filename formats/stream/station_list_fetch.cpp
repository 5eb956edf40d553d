// Station lists from a file or the network: ReadStationListFile and
// ResolveStationUrl.

#include <filesystem>
#include <fstream>

#include "engine/player.h"
#include "formats/stream/station_list.h"
#include "formats/stream/stream_http.h"
#include "formats/stream/stream_request.h"
#include "platform/clock.h"
#include "platform/path_text.h"

namespace engine {
namespace {

// A list is asked for and read within this time, redirects included.
constexpr auto kFetchTime = std::chrono::seconds(10);
// Web servers send longer headers than streaming servers do.
constexpr size_t kFetchHeadBytes = 16384;
constexpr size_t kReceiveBytes = 16384;
constexpr const char* kTooLarge = " is larger than 1 MiB.";

// Reads the body after the headers until the server closes or its
// Content-Length is reached, within the size and time limits. False with the reason in `error`.
bool ReadBody(StreamChannel& channel, const HttpResponse& response, StreamClock::time_point deadline,
              int wakeDescriptor, std::string& body, std::string* error) {
    const std::string host = ParseStreamUrl(response.url)->host;
    std::optional<int64_t> length;
    if (const auto value = FindTrimmedHeaderValue(response.headers, "Content-Length")) length = ReadDecimal(*value, 0);
    body = response.body;
    uint8_t buffer[kReceiveBytes];
    for (;;) {
        if (body.size() > kLargestStationList) {
            *error = "The station list at " + host + kTooLarge;
            return false;
        }
        if (length && *length >= 0 && body.size() >= static_cast<uint64_t>(*length)) {
            body.resize(static_cast<size_t>(*length));
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - platform::Now());
        size_t received = 0;
        switch (channel.Receive(buffer, sizeof buffer, &received, wakeDescriptor,
                                std::max(left, std::chrono::milliseconds(0)))) {
            case ChannelRead::Data: body.append(reinterpret_cast<const char*>(buffer), received); break;
            case ChannelRead::Closed:
                // A list cut off before its announced length is damaged, not short.
                if (length && *length >= 0 && body.size() < static_cast<uint64_t>(*length)) {
                    *error = "The station list from " + host + " was cut off in transfer.";
                    return false;
                }
                length = body.size();
                break;
            case ChannelRead::TimedOut: *error = host + " did not send the whole station list in time."; return false;
            case ChannelRead::Woken:
            case ChannelRead::Failed: *error = "The connection to " + host + " broke off."; return false;
        }
    }
}

}  // namespace

StationListResult ReadStationListFile(const std::string& path) {
    const std::string name(platform::FileNamePart(path));
    const auto format = StationListFormatForName(path);
    if (!format) return {{}, name + " is not a station list (.pls, .m3u or .m3u8)."};
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string unreadable = "The station list " + name + " could not be read.";
    if (error || !std::filesystem::is_regular_file(absolute, error)) return {{}, unreadable};
    std::ifstream file(absolute, std::ios::binary);
    std::string text(kLargestStationList + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad() || !file.is_open()) return {{}, unreadable};
    text.resize(static_cast<size_t>(file.gcount()));
    if (text.size() > kLargestStationList) return {{}, "The station list " + name + kTooLarge};
    return ParseStationList(text, *format, platform::DirectoryPart(absolute.string()));
}

bool IsPlayableAddress(const std::string& url) {
    const std::string address = platform::WithLowerCaseScheme(url);
    return UrlSchemeOf(address) && IsAcceptableStreamText(address) && ParseStreamUrl(address);
}

StationListResult ResolveStationUrl(const std::string& url, const PlayerStreamOptions& options, int wakeDescriptor) {
    const auto scheme = UrlSchemeOf(url);
    if (!scheme) return {{}, url + " is not an http:// or https:// address."};
    // Stored with its scheme in lower case, as the player takes it.
    const std::string address = platform::WithLowerCaseScheme(url);
    if (!IsAcceptableStreamText(address)) return {{}, "The address is too long or holds control characters."};
    if (!ParseStreamUrl(address)) return {{}, address + " is not a usable address."};

    const auto deadline = platform::Now() + kFetchTime;
    const HttpLimits limits{kFetchHeadBytes, std::chrono::duration_cast<std::chrono::milliseconds>(kFetchTime)};
    StreamChannel channel;
    HttpResponse response;
    std::string error;
    if (!OpenHttpResponse(address, options, limits, wakeDescriptor, deadline, channel, response, &error)) {
        return {{}, error};
    }
    std::optional<StationListFormat> format;
    if (const auto contentType = FindTrimmedHeaderValue(response.headers, "Content-Type")) {
        format = StationListFormatForContentType(*contentType);
    }
    if (!format) format = StationListFormatForName(response.url);
    if (!format) format = StationListFormatForName(address);
    // A stream: the player connects to it itself.
    if (!format) return {{{address, ""}}, ""};
    std::string body;
    if (!ReadBody(channel, response, deadline, wakeDescriptor, body, &error)) return {{}, error};
    return ParseStationList(body, *format, response.url);
}

}  // namespace engine
