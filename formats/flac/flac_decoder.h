#pragma once

// libFLAC reading native FLAC or FLAC in Ogg through a FileReader, so that
// the file is opened the engine's safe way and read under its locks.

#include <FLAC/stream_decoder.h>

#include <cstdint>

#include "formats/ogg/ogg_source.h"
#include "formats/pcm/decoded_pcm.h"

namespace engine {

class FileReader;

// How a file holds FLAC, told by its first bytes.
enum class FlacContainer { None, Native, Ogg };

// Reads the start of the file in `reader` (after an ID3v2 tag, which
// libFLAC also skips) and leaves the reader at the start.
FlacContainer DetectFlacContainer(FileReader& reader);

// The stream as its STREAMINFO block describes it.
struct FlacStreamInfo {
    int channels = 0;
    int bits = 0;
    int32_t sampleRate = 0;
    uint64_t totalSamples = 0;
};

class FlacDecoder {
public:
    FlacDecoder() = default;
    ~FlacDecoder();
    FlacDecoder(const FlacDecoder&) = delete;
    FlacDecoder& operator=(const FlacDecoder&) = delete;

    // Reads the metadata of the FLAC file in `reader`, which must outlive the
    // decoder. False for anything but a stream of 1 to 8 channels, 4 to 32
    // bits, at most 192 kHz and a known, non-zero length.
    bool Open(FileReader& reader);

    const FlacStreamInfo& Info() const { return info_; }

    // Decodes the next frame into `pcm`, mixed down to the output's channels.
    DecodeStep DecodeNext(DecodedPcm& pcm);
    // Moves to `sample`; the frame there, from that sample on, goes into `pcm`.
    bool SeekTo(uint64_t sample, DecodedPcm& pcm);

private:
    static FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* self);
    static FLAC__StreamDecoderSeekStatus Seek(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* self);
    static FLAC__StreamDecoderTellStatus Tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* self);
    static FLAC__StreamDecoderLengthStatus Length(const FLAC__StreamDecoder*, FLAC__uint64* length, void* self);
    static FLAC__bool AtEnd(const FLAC__StreamDecoder*, void* self);
    static FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                const FLAC__int32* const buffer[], void* self);
    static void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* self);
    static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    FLAC__StreamDecoder* decoder_ = nullptr;
    FileReader* reader_ = nullptr;
    FlacStreamInfo info_;
    ChannelMix mix_;
    // Where the write callback puts a frame; set only around a decode or seek.
    DecodedPcm* target_ = nullptr;
};

}  // namespace engine
