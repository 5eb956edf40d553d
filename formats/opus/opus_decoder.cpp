// libopusfile on the engine's file reader.

#include "formats/opus/opus_decoder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <string_view>

#include "engine/file_reader.h"
#include "formats/ogg/ogg_page.h"

namespace engine {
namespace {

// The longest Opus packet, 120 ms at 48 kHz, in every channel.
constexpr size_t kMaximumPacketFrames = 5760;
constexpr int64_t kBitsPerKilobit = 1000;

}  // namespace

bool HasOpusSignature(FileReader& reader) {
    std::array<uint8_t, kOggProbeBytes> head{};
    size_t count = 0;
    const bool read = reader.ReaderSeek(0, SEEK_FROM_START) == 0 && reader.ReaderRead(head.data(), head.size(), &count);
    const bool opus = read && OggFirstPacketStarts(std::span(head.data(), count), "OpusHead");
    return reader.ReaderSeek(0, SEEK_FROM_START) == 0 && opus;
}

OpusFileDecoder::~OpusFileDecoder() {
    if (file_ != nullptr) op_free(file_);
}

bool OpusFileDecoder::Open(FileReader& reader) {
    if (!HasOpusSignature(reader)) return false;
    reader_ = &reader;
    // No close callback: the reader belongs to the caller.
    const OpusFileCallbacks callbacks{Read, Seek, Tell, nullptr};
    file_ = op_open_callbacks(this, &callbacks, nullptr, 0, nullptr);
    if (file_ == nullptr) return false;
    const ogg_int64_t total = op_pcm_total(file_, -1);
    channels_ = op_channel_count(file_, -1);
    if (total <= 0 || channels_ < 1 || channels_ > kMaximumInputChannels) return false;
    totalSamples_ = static_cast<uint64_t>(total);
    decoded_.resize(kMaximumPacketFrames * kMaximumInputChannels);
    return MakeChannelMix(ChannelOrder::Vorbis, channels_, OutputChannelsFor(channels_), &mix_);
}

int32_t OpusFileDecoder::AverageKilobits() const {
    const opus_int32 bitrate = file_ != nullptr ? op_bitrate(file_, -1) : 0;
    return bitrate > 0 ? static_cast<int32_t>(bitrate / kBitsPerKilobit) : 0;
}

DecodeStep OpusFileDecoder::DecodeNext(DecodedPcm& pcm) {
    if (file_ == nullptr) return DecodeStep::Failed;
    int link = 0;
    const int frames = op_read_float(file_, decoded_.data(), static_cast<int>(decoded_.size()), &link);
    // A hole in the data is skipped; the next read goes on after it.
    if (frames == OP_HOLE) return DecodeStep::Delivered;
    if (frames < 0) return DecodeStep::Failed;
    if (frames == 0) return DecodeStep::EndOfStream;
    const int channels = op_channel_count(file_, link);
    if (channels != mix_.inputChannels &&
        !MakeChannelMix(ChannelOrder::Vorbis, channels, OutputChannelsFor(channels_), &mix_)) {
        return DecodeStep::Failed;
    }
    pcm.AppendInterleaved(mix_, decoded_.data(), static_cast<size_t>(frames));
    return DecodeStep::Delivered;
}

bool OpusFileDecoder::SeekTo(uint64_t sample) {
    return file_ != nullptr && sample < totalSamples_ && op_pcm_seek(file_, static_cast<ogg_int64_t>(sample)) == 0;
}

int OpusFileDecoder::Read(void* self, unsigned char* buffer, int bytes) {
    size_t got = 0;
    if (bytes < 0 || !static_cast<OpusFileDecoder*>(self)->reader_->ReaderRead(buffer, static_cast<size_t>(bytes), &got)) {
        return -1;
    }
    return static_cast<int>(got);
}

int OpusFileDecoder::Seek(void* self, opus_int64 offset, int whence) {
    FileReader& reader = *static_cast<OpusFileDecoder*>(self)->reader_;
    int64_t position = offset;
    if (whence == SEEK_CUR) {
        const uint64_t current = reader.ReaderSeek(0, SEEK_FROM_CURRENT);
        if (current == kNoPosition) return -1;
        if (__builtin_add_overflow(position, static_cast<int64_t>(current), &position)) return -1;
    } else if (whence == SEEK_END) {
        if (__builtin_add_overflow(position, static_cast<int64_t>(reader.ReaderSize()), &position)) return -1;
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (position < 0) return -1;
    return reader.ReaderSeek(position, SEEK_FROM_START) == kNoPosition ? -1 : 0;
}

opus_int64 OpusFileDecoder::Tell(void* self) {
    const uint64_t position = static_cast<OpusFileDecoder*>(self)->reader_->ReaderSeek(0, SEEK_FROM_CURRENT);
    return position == kNoPosition ? -1 : static_cast<opus_int64>(position);
}

}  // namespace engine
