#include "platform/wave_volume.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <cstdio>
#include <string>

#include "platform/app_files.h"
#include "platform/byte_order.h"

namespace platform {
namespace {

constexpr uint32_t kFullVolume = 0xFFFFFFFF;
constexpr const char* kVolumeFileName = "/device-volume";
// The file holds one number.
constexpr size_t kLargestVolumeFile = 64;

std::once_flag loaded;
std::atomic<uint32_t> currentVolume{kFullVolume};

std::string VolumePath() {
    const std::string directory = ApplicationDirectory();
    return directory.empty() ? std::string() : directory + kVolumeFileName;
}

void LoadOnce() {
    std::call_once(loaded, [] {
        std::string text;
        const std::string path = VolumePath();
        if (path.empty()) return;
        const FileRead read = ReadWholeFile(path, kLargestVolumeFile, text);
        if (read == FileRead::TooLarge) ReportFileTooLarge(path, kLargestVolumeFile, "the volume starts at its default");
        if (read != FileRead::Done) return;
        char* end = nullptr;
        const unsigned long value = std::strtoul(text.c_str(), &end, 16);
        if (end != text.c_str() && value <= kFullVolume) currentVolume = static_cast<uint32_t>(value);
    });
}

int32_t Scale(int32_t sample, uint32_t level) {
    return static_cast<int32_t>((int64_t{sample} * level) / 0xFFFF);
}

}  // namespace

uint32_t GetWaveOutVolume() {
    LoadOnce();
    return currentVolume;
}

void SetWaveOutVolume(uint32_t volume) {
    LoadOnce();
    currentVolume = volume;
    char text[16];
    std::snprintf(text, sizeof text, "%08x\n", volume);
    if (const std::string path = VolumePath(); !path.empty()) WriteFileAtomically(path, text);
}

void ApplyWaveOutVolume(uint32_t volume, uint16_t bitsPerSample, uint16_t channels, uint8_t* pcm, size_t bytes) {
    const uint32_t left = volume & 0xFFFF;
    const uint32_t right = channels >= 2 ? volume >> 16 : left;
    if (left == 0xFFFF && right == 0xFFFF) return;
    const size_t sampleBytes = bitsPerSample == 8 ? 1 : 2;
    const size_t count = bytes / sampleBytes;
    for (size_t index = 0; index < count; ++index) {
        const uint32_t level = channels >= 2 && index % 2 == 1 ? right : left;
        if (sampleBytes == 1) {
            pcm[index] = static_cast<uint8_t>(Scale(int32_t{pcm[index]} - 128, level) + 128);
        } else {
            const auto sample = static_cast<int16_t>(ReadLittle16(pcm + 2 * index));
            WriteLittle16(pcm + 2 * index, static_cast<uint16_t>(Scale(sample, level)));
        }
    }
}

}  // namespace platform
