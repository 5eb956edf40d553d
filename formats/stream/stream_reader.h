#pragma once

#include <string>

#include "engine/player.h"

// The network stream source. Until the receive side is built, the network
// layer reports itself not ready, so every URL is refused and no stream runs;
// the options and the (empty) station fields already behave as they will.
class StreamReader {
public:
    // False unless the URL starts with "http://" and the network is ready.
    bool StreamSetUrl(const std::string& url);
    // Forgets the URL and the station fields.
    void StreamClose();

    // The station fields; 0 when all are empty.
    int GetInfo(std::string* name, std::string* genre, std::string* url) const;
    // The current title; 0 when there is none. The output is emptied first.
    int GetTitle(std::string* title) const;
    // Refused while a stream runs or when bufferBlocks is 0.
    int SetOptions(const PlayerStreamOptions& options);
    void GetOptions(PlayerStreamOptions* options) const;

private:
    bool networkReady_ = false;
    std::string url_;
    std::string stationName_;
    std::string genre_;
    std::string stationUrl_;
    PlayerStreamOptions options_;
};
