#include "tools/cli/stream_source.h"

#include <cstdio>

#include "formats/stream/station_list.h"

bool IsUrl(const std::string& argument) {
    return argument.find("://") != std::string::npos;
}

std::vector<SourceEntry> ExpandArgument(const std::string& argument, const char* command) {
    engine::StationListResult list;
    if (IsUrl(argument)) {
        list = engine::ResolveStationUrl(argument, PlayerStreamOptions{});
    } else if (engine::StationListFormatForName(argument)) {
        list = engine::ReadStationListFile(argument);
    } else {
        return {{argument, ""}};
    }
    if (!list.error.empty()) {
        std::fprintf(stderr, "tunelark-cli %s: '%s': %s\n", command, argument.c_str(), list.error.c_str());
        return {{argument, ""}};
    }
    std::vector<SourceEntry> entries;
    for (engine::StationListEntry& entry : list.entries) {
        entries.push_back({std::move(entry.location), std::move(entry.title)});
    }
    return entries;
}

bool OpenSourceOrUrl(PlayerEngine* engine, const std::string& argument, const char* command) {
    if (!IsUrl(argument)) {
        if (PlayerOpen(engine, argument)) return true;
        std::fprintf(stderr, "tunelark-cli %s: cannot open '%s': not a playable file\n", command, argument.c_str());
        return false;
    }
    if (PlayerOpenURL(engine, argument)) return true;
    std::fprintf(stderr,
                 "tunelark-cli %s: cannot open '%s': only http:// and https:// URLs of at most 259 characters play\n",
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
