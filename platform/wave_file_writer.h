#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/wave_out.h"

namespace platform {

// Writes PCM as a RIFF WAVE file. The header's sizes are filled in when the
// file is finished, so a reader of an unfinished file sees no data.
class WaveFileWriter {
public:
    ~WaveFileWriter();

    bool Begin(const std::string& path, const WaveFormat& format);
    bool Append(const uint8_t* pcm, size_t bytes);
    // Completes the header and closes the file; false if anything failed.
    bool Finish();

private:
    std::FILE* file_ = nullptr;
    WaveFormat format_;
    uint64_t dataBytes_ = 0;
    bool failed_ = false;
};

}  // namespace platform
