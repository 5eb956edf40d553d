// libFLAC's stream decoder on the engine's file reader.

#include "formats/flac/flac_decoder.h"

#include <array>
#include <string_view>
#include <vector>

#include "engine/file_reader.h"
#include "formats/ogg/ogg_page.h"
#include "platform/byte_order.h"

namespace engine {
namespace {

constexpr size_t kId3v2HeaderBytes = 10;
constexpr size_t kId3v2FooterBytes = 10;
constexpr uint8_t kId3v2FooterFlag = 0x10;
constexpr int kMinimumBits = 4;
constexpr int kMaximumBits = 32;

// The tag's size from its four 7-bit bytes, header and footer included.
uint64_t Id3v2Length(const uint8_t* header) {
    const uint64_t body = uint64_t{header[6] & 0x7Fu} << 21 | uint64_t{header[7] & 0x7Fu} << 14 |
                          uint64_t{header[8] & 0x7Fu} << 7 | uint64_t{header[9] & 0x7Fu};
    return kId3v2HeaderBytes + body + ((header[5] & kId3v2FooterFlag) != 0 ? kId3v2FooterBytes : 0);
}

bool StartsWith(const uint8_t* bytes, size_t count, std::string_view text) {
    return count >= text.size() && std::string_view(reinterpret_cast<const char*>(bytes), text.size()) == text;
}

// FLAC in Ogg written in one pass leaves STREAMINFO's sample count at 0; the
// last page's granule position is the count then. 0 when there is none.
uint64_t LastOggGranule(FileReader& reader) {
    constexpr size_t kLongestPage = 27 + 255 + 255 * 255;
    constexpr size_t kGranuleOffset = 6;
    constexpr size_t kPageHeaderBytes = 27;
    const uint64_t size = reader.ReaderSize();
    const uint64_t start = size > kLongestPage ? size - kLongestPage : 0;
    std::vector<uint8_t> tail(static_cast<size_t>(size - start));
    size_t count = 0;
    if (reader.ReaderSeek(static_cast<int64_t>(start), SEEK_FROM_START) == kNoPosition ||
        !reader.ReaderRead(tail.data(), tail.size(), &count)) {
        return 0;
    }
    for (size_t at = count >= kPageHeaderBytes ? count - kPageHeaderBytes + 1 : 0; at-- > 0;) {
        if (!StartsWith(tail.data() + at, count - at, "OggS")) continue;
        const uint64_t granule = platform::ReadLittle32(tail.data() + at + kGranuleOffset) |
                                 uint64_t{platform::ReadLittle32(tail.data() + at + kGranuleOffset + 4)} << 32;
        // -1: no packet ends on this page.
        if (granule != UINT64_MAX) return granule;
    }
    return 0;
}

}  // namespace

FlacContainer DetectFlacContainer(FileReader& reader) {
    std::array<uint8_t, kOggProbeBytes> head{};
    size_t count = 0;
    if (reader.ReaderSeek(0, SEEK_FROM_START) != 0 || !reader.ReaderRead(head.data(), head.size(), &count)) {
        return FlacContainer::None;
    }
    FlacContainer container = FlacContainer::None;
    if (OggFirstPacketStarts(std::span(head.data(), count), "\x7F" "FLAC")) {
        container = FlacContainer::Ogg;
    } else if (StartsWith(head.data(), count, "fLaC")) {
        container = FlacContainer::Native;
    } else if (count >= kId3v2HeaderBytes && StartsWith(head.data(), count, "ID3")) {
        uint8_t marker[4] = {};
        size_t got = 0;
        if (reader.ReaderSeek(static_cast<int64_t>(Id3v2Length(head.data())), SEEK_FROM_START) != kNoPosition &&
            reader.ReaderRead(marker, sizeof marker, &got) && StartsWith(marker, got, "fLaC")) {
            container = FlacContainer::Native;
        }
    }
    return reader.ReaderSeek(0, SEEK_FROM_START) == 0 ? container : FlacContainer::None;
}

FlacDecoder::~FlacDecoder() {
    if (decoder_ != nullptr) FLAC__stream_decoder_delete(decoder_);  // finishes it first
}

bool FlacDecoder::Open(FileReader& reader) {
    const FlacContainer container = DetectFlacContainer(reader);
    if (container == FlacContainer::None) return false;
    reader_ = &reader;
    decoder_ = FLAC__stream_decoder_new();
    if (decoder_ == nullptr) return false;
    const auto init = container == FlacContainer::Ogg ? FLAC__stream_decoder_init_ogg_stream
                                                      : FLAC__stream_decoder_init_stream;
    if (init(decoder_, Read, Seek, Tell, Length, AtEnd, Write, Metadata, Error, this) !=
        FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        return false;
    }
    if (!FLAC__stream_decoder_process_until_end_of_metadata(decoder_)) return false;
    if (container == FlacContainer::Ogg && info_.totalSamples == 0) {
        const uint64_t position = reader.ReaderSeek(0, SEEK_FROM_CURRENT);
        info_.totalSamples = LastOggGranule(reader);
        if (reader.ReaderSeek(static_cast<int64_t>(position), SEEK_FROM_START) != position) return false;
    }
    const FlacStreamInfo& info = info_;
    return info.channels >= 1 && info.channels <= kMaximumInputChannels && info.bits >= kMinimumBits &&
           info.bits <= kMaximumBits && info.sampleRate > 0 && info.sampleRate <= kMaximumPcmRate &&
           info.totalSamples > 0 && MakeChannelMix(ChannelOrder::Wave, info.channels, OutputChannelsFor(info.channels), &mix_);
}

DecodeStep FlacDecoder::DecodeNext(DecodedPcm& pcm) {
    if (decoder_ == nullptr) return DecodeStep::Failed;
    target_ = &pcm;
    const bool decoded = FLAC__stream_decoder_process_single(decoder_);
    target_ = nullptr;
    const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder_);
    if (state == FLAC__STREAM_DECODER_END_OF_STREAM) return DecodeStep::EndOfStream;
    return decoded ? DecodeStep::Delivered : DecodeStep::Failed;
}

bool FlacDecoder::SeekTo(uint64_t sample, DecodedPcm& pcm) {
    if (decoder_ == nullptr || sample >= info_.totalSamples) return false;
    target_ = &pcm;
    const bool moved = FLAC__stream_decoder_seek_absolute(decoder_, sample);
    target_ = nullptr;
    // A failed seek leaves the decoder lost until it is flushed.
    if (!moved && FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_SEEK_ERROR) {
        FLAC__stream_decoder_flush(decoder_);
    }
    return moved;
}

FLAC__StreamDecoderReadStatus FlacDecoder::Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                                void* self) {
    size_t got = 0;
    if (!static_cast<FlacDecoder*>(self)->reader_->ReaderRead(buffer, *bytes, &got)) {
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    *bytes = got;
    return got == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus FlacDecoder::Seek(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* self) {
    FileReader& reader = *static_cast<FlacDecoder*>(self)->reader_;
    if (offset > reader.ReaderSize()) return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    return reader.ReaderSeek(static_cast<int64_t>(offset), SEEK_FROM_START) == kNoPosition
               ? FLAC__STREAM_DECODER_SEEK_STATUS_ERROR
               : FLAC__STREAM_DECODER_SEEK_STATUS_OK;
}

FLAC__StreamDecoderTellStatus FlacDecoder::Tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* self) {
    const uint64_t position = static_cast<FlacDecoder*>(self)->reader_->ReaderSeek(0, SEEK_FROM_CURRENT);
    if (position == kNoPosition) return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    *offset = position;
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus FlacDecoder::Length(const FLAC__StreamDecoder*, FLAC__uint64* length, void* self) {
    *length = static_cast<FlacDecoder*>(self)->reader_->ReaderSize();
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool FlacDecoder::AtEnd(const FLAC__StreamDecoder*, void* self) {
    FileReader& reader = *static_cast<FlacDecoder*>(self)->reader_;
    return reader.ReaderSeek(0, SEEK_FROM_CURRENT) >= reader.ReaderSize();
}

FLAC__StreamDecoderWriteStatus FlacDecoder::Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                  const FLAC__int32* const buffer[], void* self) {
    auto& decoder = *static_cast<FlacDecoder*>(self);
    const FLAC__FrameHeader& header = frame->header;
    // A frame in another layout than STREAMINFO's would play as noise or at
    // the wrong speed through the open output.
    if (static_cast<int>(header.channels) != decoder.info_.channels ||
        static_cast<int>(header.bits_per_sample) != decoder.info_.bits ||
        static_cast<int32_t>(header.sample_rate) != decoder.info_.sampleRate) {
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    if (decoder.target_ != nullptr) {
        decoder.target_->AppendPlanar(decoder.mix_, buffer, decoder.info_.bits, header.blocksize);
    }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacDecoder::Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* self) {
    auto& decoder = *static_cast<FlacDecoder*>(self);
    if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
        const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
        decoder.info_.channels = static_cast<int>(info.channels);
        decoder.info_.bits = static_cast<int>(info.bits_per_sample);
        decoder.info_.sampleRate = static_cast<int32_t>(info.sample_rate);
        decoder.info_.totalSamples = info.total_samples;
    }
}

}  // namespace engine
