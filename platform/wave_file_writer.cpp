#include "platform/wave_file_writer.h"

#include <array>
#include <limits>

#include "platform/byte_order.h"

namespace platform {
namespace {

constexpr size_t kHeaderBytes = 44;
constexpr uint64_t kMaximumDataBytes = std::numeric_limits<uint32_t>::max() - kHeaderBytes - 1;

// A RIFF chunk of odd size is followed by one pad byte, counted in the RIFF size.
std::array<uint8_t, kHeaderBytes> MakeHeader(const WaveFormat& format, uint32_t dataBytes) {
    std::array<uint8_t, kHeaderBytes> header{};
    auto put = [&](size_t offset, uint32_t value, size_t bytes) {
        if (bytes == 2) {
            WriteLittle16(header.data() + offset, static_cast<uint16_t>(value));
        } else {
            WriteLittle32(header.data() + offset, value);
        }
    };
    auto tag = [&](size_t offset, const char* text) { std::copy(text, text + 4, header.begin() + offset); };
    tag(0, "RIFF");
    put(4, dataBytes + (dataBytes & 1) + 36, 4);
    tag(8, "WAVE");
    tag(12, "fmt ");
    put(16, 16, 4);
    put(20, 1, 2);  // PCM
    put(22, format.channels, 2);
    put(24, format.sampleRate, 4);
    put(28, format.sampleRate * format.BlockAlign(), 4);
    put(32, format.BlockAlign(), 2);
    put(34, format.bitsPerSample, 2);
    tag(36, "data");
    put(40, dataBytes, 4);
    return header;
}

}  // namespace

WaveFileWriter::~WaveFileWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool WaveFileWriter::Begin(const std::string& path, const WaveFormat& format) {
    if (file_ != nullptr) Finish();
    file_ = std::fopen(path.c_str(), "wb");
    dataBytes_ = 0;
    failed_ = file_ == nullptr;
    if (failed_) return false;
    const auto header = MakeHeader(format, 0);
    failed_ = std::fwrite(header.data(), 1, header.size(), file_) != header.size();
    // Remembered for Finish, which writes the header again with the sizes.
    format_ = format;
    return !failed_;
}

bool WaveFileWriter::Append(const uint8_t* pcm, size_t bytes) {
    if (file_ == nullptr || failed_) return false;
    if (dataBytes_ + bytes > kMaximumDataBytes) {
        failed_ = true;  // a WAV file cannot describe more
        return false;
    }
    failed_ = std::fwrite(pcm, 1, bytes, file_) != bytes;
    dataBytes_ += bytes;
    return !failed_;
}

bool WaveFileWriter::Finish() {
    if (file_ == nullptr) return false;
    const auto header = MakeHeader(format_, static_cast<uint32_t>(dataBytes_));
    if ((dataBytes_ & 1) != 0 && !failed_) failed_ = std::fputc(0, file_) == EOF;
    bool written = !failed_ && std::fseek(file_, 0, SEEK_SET) == 0 &&
                   std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    written = std::fclose(file_) == 0 && written;
    file_ = nullptr;
    return written;
}

}  // namespace platform
