#include "tools/cli/stream_source.h"

#include <cstdio>

bool IsUrl(const std::string& argument) {
    return argument.find("://") != std::string::npos;
}

bool OpenSourceOrUrl(PlayerEngine* engine, const std::string& argument, const char* command) {
    if (!IsUrl(argument)) {
        if (PlayerOpen(engine, argument)) return true;
        std::fprintf(stderr, "tunelark-cli %s: cannot open '%s': not a playable file\n", command, argument.c_str());
        return false;
    }
    if (PlayerOpenURL(engine, argument)) return true;
    std::fprintf(stderr, "tunelark-cli %s: cannot open '%s': only http:// URLs of at most 259 characters play\n",
                 command, argument.c_str());
    return false;
}

std::string StreamDescription(PlayerEngine* engine) {
    std::string station;
    PlayerGetStreamInfo(engine, &station, nullptr, nullptr);
    std::string title;
    PlayerGetStreamTitle(engine, &title);
    if (station.empty()) return title;
    if (title.empty()) return station;
    return station + " - " + title;
}
