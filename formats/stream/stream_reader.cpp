#include "formats/stream/stream_reader.h"

#include <algorithm>

bool StreamReader::StreamSetUrl(const std::string& url) {
    if (url.rfind("http://", 0) != 0 || !networkReady_) return false;
    url_ = url;
    return true;
}

void StreamReader::StreamClose() {
    url_.clear();
    stationName_.clear();
    genre_.clear();
    stationUrl_.clear();
}

int StreamReader::GetInfo(std::string* name, std::string* genre, std::string* url) const {
    if (stationName_.empty() && genre_.empty() && stationUrl_.empty()) return 0;
    bool copied = false;
    auto copyField = [&copied](std::string* out, const std::string& field) {
        if (out == nullptr) return;
        out->clear();
        if (field.empty()) return;
        *out = field;
        copied = true;
    };
    copyField(name, stationName_);
    copyField(genre, genre_);
    copyField(url, stationUrl_);
    return copied ? 1 : 0;
}

int StreamReader::GetTitle(std::string* title) const {
    if (title != nullptr) title->clear();
    return 0;
}

int StreamReader::SetOptions(const PlayerStreamOptions& options) {
    if (options.bufferBlocks == 0) return 0;
    options_.bufferBlocks = options.bufferBlocks;
    options_.prebufferBlocks = std::min(options.bufferBlocks, options.prebufferBlocks);
    options_.proxy = options.proxy;
    options_.userAgent = options.userAgent;
    return 1;
}

void StreamReader::GetOptions(PlayerStreamOptions* options) const {
    *options = options_;
}
