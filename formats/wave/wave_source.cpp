// Opening, probing, seeking and closing RIFF WAVE files.

#include "formats/wave/wave_source.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#include "engine/player_engine.h"
#include "formats/wave/wave_chunks.h"
#include "formats/wave/wave_state.h"
#include "platform/byte_order.h"

namespace engine {
namespace {

using namespace platform::acm;

// Larger blocks than this are refused.
constexpr uint16_t kMaximumBlockAlign = 4096;
constexpr uint32_t kMaximumLength = INT32_MAX;
constexpr double kSecondsPerMillisecond = 0.001;

void ReadSourceFields(WaveSource& wave) {
    const uint8_t* format = wave.sourceFormat.data();
    wave.formatTag = platform::ReadLittle16(format);
    wave.channels = platform::ReadLittle16(format + 2);
    wave.sampleRate = platform::ReadLittle32(format + 4);
    wave.averageBytesPerSecond = platform::ReadLittle32(format + 8);
    wave.blockAlign = platform::ReadLittle16(format + 12);
    wave.bitsPerSample = platform::ReadLittle16(format + 14);
}

bool IsPcm(const WaveSource& wave) { return wave.formatTag == WAVE_FORMAT_PCM; }

// PCM: whole frames. Other formats: the fact chunk's count, or else whole
// seconds of data at the format's average byte rate.
uint32_t LengthInFrames(const WaveSource& wave, uint32_t factSamples) {
    uint64_t frames = 0;
    if (IsPcm(wave)) {
        frames = wave.dataLength / wave.PcmFrameBytes();
    } else if (factSamples != 0) {
        frames = factSamples;
    } else {
        frames = uint64_t{wave.dataLength / wave.averageBytesPerSecond} * wave.sampleRate;
    }
    return static_cast<uint32_t>(std::min<uint64_t>(frames, kMaximumLength));
}

// The divisions of the length and the seek need a non-zero divisor.
bool HasUsableRates(const WaveSource& wave) {
    return IsPcm(wave) ? wave.PcmFrameBytes() != 0 : wave.averageBytesPerSecond != 0;
}

WAVEFORMATEX OutputFormat(const WaveSource& wave, const WAVEFORMATEX& suggestion) {
    if (!wave.copiesPcm) return suggestion;
    WAVEFORMATEX own{};
    own.wFormatTag = wave.formatTag;
    own.nChannels = wave.channels;
    own.nSamplesPerSec = wave.sampleRate;
    own.nAvgBytesPerSec = wave.averageBytesPerSecond;
    own.nBlockAlign = wave.blockAlign;
    own.wBitsPerSample = wave.bitsPerSample;
    own.cbSize = 0;
    return own;
}

void SetFileInfo(PlayerEngine& engine, const WaveSource& wave, uint32_t length) {
    engine.sourceFormat = PlayerSourceFormat{};
    engine.sourceFormat.channels = wave.outputFormat.nChannels;
    engine.sourceFormat.sampleRate = static_cast<int32_t>(wave.outputFormat.nSamplesPerSec);
    engine.sourceFormat.bitrate = static_cast<int32_t>(uint64_t{wave.averageBytesPerSecond} * 8 / 1000);
    engine.length = length;
}

bool ParseOpenFile(PlayerEngine& engine, WaveSource& wave) {
    FileReader& reader = engine.fileReader;
    if (!ReadFormatChunk(reader, &wave.sourceFormat)) return false;
    ReadSourceFields(wave);
    if (wave.blockAlign > kMaximumBlockAlign) return false;
    WAVEFORMATEX suggestion{};
    if (!SuggestPcmFormat(wave.sourceFormat, &suggestion)) return false;

    WaveDataChunk data;
    if (!FindDataChunk(reader, &data)) return false;
    wave.dataStart = data.dataStart;
    wave.dataLength = data.dataLength;
    if (!HasUsableRates(wave)) return false;

    wave.copiesPcm = IsPcm(wave) && (wave.bitsPerSample == 8 || wave.bitsPerSample == 16);
    wave.outputFormat = OutputFormat(wave, suggestion);
    SetFileInfo(engine, wave, LengthInFrames(wave, data.factSamples));

    if (acmStreamOpen(&wave.conversionStream, nullptr, wave.sourceFormat.data(),
                      static_cast<DWORD>(wave.sourceFormat.size()), &wave.outputFormat, nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
        wave.conversionStream = nullptr;
        return false;
    }
    wave.dataConsumed = 0;
    return reader.ReaderSeek(static_cast<int64_t>(wave.dataStart), SEEK_FROM_START) != kNoPosition;
}

}  // namespace

bool WaveOpen(PlayerEngine& engine, const std::string& path) {
    WaveClose(engine);
    if (!engine.fileReader.ReaderOpen(path)) return false;
    engine.path = path;
    engine.wave = new (std::nothrow) WaveSource();
    if (engine.wave == nullptr || !ParseOpenFile(engine, *engine.wave)) {
        WaveClose(engine);
        // Nothing of a refused file may show as the open source's format.
        engine.sourceFormat = PlayerSourceFormat{};
        engine.length = 0;
        return false;
    }
    return true;
}

void WaveClose(PlayerEngine& engine) {
    WaveSource* wave = engine.wave;
    if (wave == nullptr) return;
    if (wave->conversionStream != nullptr) acmStreamClose(wave->conversionStream, 0);
    engine.wave = nullptr;
    delete wave;
}

bool WaveProbe(const std::string& path) {
    FileReader reader;
    if (!reader.ReaderOpen(path)) return false;
    std::vector<uint8_t> format;
    WAVEFORMATEX suggestion{};
    return ReadFormatChunk(reader, &format) && SuggestPcmFormat(format, &suggestion);
}

bool WaveSeek(PlayerEngine& engine, int32_t milliseconds) {
    WaveSource* wave = engine.wave;
    if (wave == nullptr) return false;
    platform::CriticalSectionGuard decode(engine.decodeLock);
    const double seconds = milliseconds * kSecondsPerMillisecond;
    const double targetFrame = std::min(std::trunc(wave->sampleRate * seconds), double(UINT32_MAX));
    uint64_t offset = 0;
    if (IsPcm(*wave)) {
        offset = static_cast<uint64_t>(double(wave->bitsPerSample) * wave->channels * targetFrame / 8);
    } else {
        offset = static_cast<uint64_t>(wave->averageBytesPerSecond * seconds);
        offset -= offset % wave->blockAlign;
    }
    // The reader takes any position; one past the data ends the playback.
    offset = std::min<uint64_t>(offset, UINT32_MAX);
    if (engine.fileReader.ReaderSeek(static_cast<int64_t>(wave->dataStart + offset), SEEK_FROM_START) == kNoPosition) {
        return false;
    }
    engine.seekPending = 1;
    engine.seekBase = static_cast<uint32_t>(targetFrame);
    engine.waveOutput.Flush();
    wave->dataConsumed = static_cast<uint32_t>(offset);
    return true;
}

void WaveRewind(PlayerEngine& engine) {
    WaveSeek(engine, 0);
}

SourceOutput WaveOutputFormat(const PlayerEngine& engine) {
    const int32_t bits = engine.wave != nullptr ? engine.wave->outputFormat.wBitsPerSample : 16;
    return {bits, engine.sourceFormat.sampleRate};
}

uint32_t WaveBlockCapacity(const PlayerEngine& engine, int32_t outputBits) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    uint32_t capacity = format.sampleRate > 11025 ? 2048 : 1024;
    if (format.sampleRate > 22050) capacity *= 2;
    if (format.channels > 1) capacity *= 2;
    if (outputBits > 8) capacity *= 2;
    return capacity;
}

}  // namespace engine
