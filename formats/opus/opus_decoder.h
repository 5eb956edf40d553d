#pragma once

// libopusfile reading Ogg Opus through a FileReader, so that the file is
// opened the engine's safe way and read under its locks. Opus always decodes
// at 48 kHz; libopusfile drops the pre-skip and applies the header's output
// gain.

#include <opus/opusfile.h>

#include <cstdint>
#include <vector>

#include "formats/ogg/ogg_source.h"
#include "formats/pcm/decoded_pcm.h"

namespace engine {

class FileReader;

constexpr int32_t kOpusRate = 48000;

// Whether the file in `reader` starts with an Ogg page of an OpusHead packet;
// leaves the reader at the start.
bool HasOpusSignature(FileReader& reader);

class OpusFileDecoder {
public:
    OpusFileDecoder() = default;
    ~OpusFileDecoder();
    OpusFileDecoder(const OpusFileDecoder&) = delete;
    OpusFileDecoder& operator=(const OpusFileDecoder&) = delete;

    // Opens the Opus file in `reader`, which must outlive the decoder. False
    // for anything but a stream of 1 to 8 channels with samples.
    bool Open(FileReader& reader);

    // Samples per channel at 48 kHz, pre-skip excluded.
    uint64_t TotalSamples() const { return totalSamples_; }
    int Channels() const { return channels_; }
    // The whole file's average, in kbit/s.
    int32_t AverageKilobits() const;

    // Decodes the next packet into `pcm`, mixed down to the first link's output channels.
    DecodeStep DecodeNext(DecodedPcm& pcm);
    bool SeekTo(uint64_t sample);

private:
    static int Read(void* self, unsigned char* buffer, int bytes);
    static int Seek(void* self, opus_int64 offset, int whence);
    static opus_int64 Tell(void* self);

    OggOpusFile* file_ = nullptr;
    FileReader* reader_ = nullptr;
    uint64_t totalSamples_ = 0;
    int channels_ = 0;
    // The mix of the link being decoded; a chained file's links may differ.
    ChannelMix mix_;
    std::vector<float> decoded_;
};

}  // namespace engine
