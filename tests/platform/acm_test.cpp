// The compression manager: suggestions and refusals, each codec against
// sox's decode of the same file, state across split conversions, reset,
// sizing both ways, and damaged or hostile input.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/acm.h"
#include "platform/byte_order.h"
#include "platform/riff_chunks.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform::acm;

// The "fmt " and "data" chunks of a fixture, found by the RIFF rules.
struct WaveChunks {
    std::vector<uint8_t> format;
    std::vector<uint8_t> data;
};

WaveChunks ReadChunks(const std::string& fixture) {
    const std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath(fixture));
    WaveChunks chunks;
    platform::RiffChunkWalker walker(bytes);
    while (const std::optional<platform::RiffChunk> chunk = walker.Next()) {
        const std::vector<uint8_t> body(chunk->body.begin(), chunk->body.end());
        if (chunk->header.Is("fmt ")) chunks.format = body;
        if (chunk->header.Is("data")) chunks.data = body;
    }
    EXPECT_FALSE(chunks.format.empty() || chunks.data.empty()) << fixture;
    return chunks;
}

std::vector<int16_t> ReadRaw16(const std::string& fixture) {
    const std::vector<uint8_t> bytes = test::ReadFileBytes(test::FixturePath(fixture));
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t index = 0; index < samples.size(); ++index) {
        samples[index] = static_cast<int16_t>(platform::ReadLittle16(&bytes[2 * index]));
    }
    return samples;
}

std::vector<int16_t> ToSamples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

WAVEFORMATEX Suggest(const std::vector<uint8_t>& format, MMRESULT* result) {
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    *result = acmFormatSuggest(nullptr, format.data(), DWORD(format.size()), &pcm, sizeof pcm,
                               ACM_FORMATSUGGESTF_WFORMATTAG);
    return pcm;
}

// An open stream to the suggested PCM format, closed with the object.
class Stream {
public:
    explicit Stream(const std::vector<uint8_t>& format) {
        MMRESULT result = 0;
        output_ = Suggest(format, &result);
        EXPECT_EQ(result, MMSYSERR_NOERROR);
        EXPECT_EQ(acmStreamOpen(&handle_, nullptr, format.data(), DWORD(format.size()), &output_, nullptr, 0, 0,
                                ACM_STREAMOPENF_NONREALTIME),
                  MMSYSERR_NOERROR);
    }
    ~Stream() {
        if (handle_ != nullptr) acmStreamClose(handle_, 0);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    HACMSTREAM Handle() const { return handle_; }
    const WAVEFORMATEX& Output() const { return output_; }

    // Converts `source` (all of it is expected to be taken) and returns the PCM.
    std::vector<uint8_t> Convert(const uint8_t* source, size_t length, DWORD flags = 0) {
        DWORD room = 0;
        EXPECT_EQ(acmStreamSize(handle_, DWORD(length) + kSlack, &room, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
        std::vector<uint8_t> pcm(room + kGuardBytes, kGuardByte);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = const_cast<uint8_t*>(source);
        header.cbSrcLength = DWORD(length);
        header.pbDst = pcm.data();
        header.cbDstLength = room;
        EXPECT_EQ(acmStreamPrepareHeader(handle_, &header, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(acmStreamConvert(handle_, &header, flags), MMSYSERR_NOERROR);
        EXPECT_EQ(acmStreamUnprepareHeader(handle_, &header, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(header.cbSrcLengthUsed, length);
        EXPECT_LE(header.cbDstLengthUsed, room);
        for (size_t index = room; index < pcm.size(); ++index) EXPECT_EQ(pcm[index], kGuardByte) << "wrote past the end";
        pcm.resize(header.cbDstLengthUsed);
        return pcm;
    }

    // Converts `source` in pieces of the given sizes, taken in turn.
    std::vector<uint8_t> ConvertInPieces(const std::vector<uint8_t>& source, const std::vector<size_t>& pieces) {
        std::vector<uint8_t> pcm;
        size_t offset = 0;
        for (size_t turn = 0; offset < source.size(); ++turn) {
            const size_t length = std::min(pieces[turn % pieces.size()], source.size() - offset);
            const std::vector<uint8_t> part = Convert(source.data() + offset, length);
            pcm.insert(pcm.end(), part.begin(), part.end());
            offset += length;
        }
        return pcm;
    }

private:
    // Room for a pending block's worth more than the piece itself yields.
    static constexpr DWORD kSlack = 8192;
    static constexpr size_t kGuardBytes = 64;
    static constexpr uint8_t kGuardByte = 0xA5;
    HACMSTREAM handle_ = nullptr;
    WAVEFORMATEX output_{};
};

// A format header built in code: the 16 base bytes, cbSize and extra bytes.
std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t blockAlign, uint16_t bits,
                            std::vector<uint8_t> extra = {}, bool withCbSize = true) {
    std::vector<uint8_t> bytes;
    auto put16 = [&bytes](uint32_t value) { platform::AppendLittle16(bytes, value); };
    put16(tag);
    put16(channels);
    put16(rate & 0xFFFF);
    put16(rate >> 16);
    put16(0x1000);  // average bytes per second: not used by the codecs
    put16(0);
    put16(blockAlign);
    put16(bits);
    if (withCbSize) put16(uint32_t(extra.size()));
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    return bytes;
}

std::vector<uint8_t> Le16(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int value : values) platform::AppendLittle16(bytes, static_cast<uint32_t>(value));
    return bytes;
}

// The standard Microsoft ADPCM coefficient table, after samples per block.
std::vector<uint8_t> MsAdpcmExtra(int samplesPerBlock, int pairs = 7) {
    std::vector<uint8_t> extra = Le16({samplesPerBlock, pairs});
    const std::vector<uint8_t> table = Le16({256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232});
    for (int pair = 0; pair < pairs; ++pair) {
        extra.insert(extra.end(), table.begin() + (pair % 7) * 4, table.begin() + (pair % 7) * 4 + 4);
    }
    return extra;
}

std::vector<uint8_t> ExtensibleExtra(uint16_t validBits, uint16_t subTag, uint8_t lastGuidByte = 0x71) {
    std::vector<uint8_t> extra = Le16({validBits, 3, 0, subTag, 0});
    const uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, lastGuidByte};
    extra.insert(extra.end(), tail, tail + 12);
    return extra;
}

TEST(Acm, SuggestsPcmForEveryCodecFixture) {
    struct Case {
        const char* fixture;
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
    };
    const Case cases[] = {
        {"wave_pcm8_mono.wav", 1, 11025, 8},     {"wave_pcm16_mono.wav", 1, 32000, 16},
        {"wave_pcm24_stereo.wav", 2, 22050, 16}, {"wave_pcm32_mono.wav", 1, 8000, 16},
        {"wave_float_stereo.wav", 2, 22050, 16}, {"wave_ima_stereo.wav", 2, 22050, 16},
        {"wave_msadpcm_mono.wav", 1, 8000, 16},  {"wave_alaw.wav", 1, 8000, 16},
        {"wave_mulaw.wav", 2, 22050, 16},        {"wave_gsm.wav", 1, 8000, 16},
    };
    for (const auto& [fixture, channels, rate, bits] : cases) {
        MMRESULT result = 1;
        const WAVEFORMATEX pcm = Suggest(ReadChunks(fixture).format, &result);
        ASSERT_EQ(result, MMSYSERR_NOERROR) << fixture;
        EXPECT_EQ(pcm.wFormatTag, WAVE_FORMAT_PCM) << fixture;
        EXPECT_EQ(pcm.nChannels, channels) << fixture;
        EXPECT_EQ(pcm.nSamplesPerSec, rate) << fixture;
        EXPECT_EQ(pcm.wBitsPerSample, bits) << fixture;
        EXPECT_EQ(pcm.nBlockAlign, channels * bits / 8) << fixture;
        EXPECT_EQ(pcm.nAvgBytesPerSec, rate * channels * bits / 8) << fixture;
        EXPECT_EQ(pcm.cbSize, 0) << fixture;
    }
}

TEST(Acm, RefusesFormatsWithoutCodecOrWithBadFields) {
    struct Case {
        const char* what;
        std::vector<uint8_t> format;
    };
    std::vector<uint8_t> shortFormat = Format(1, 1, 8000, 2, 16);
    shortFormat.resize(14);
    std::vector<uint8_t> cutCoefficients = Format(2, 1, 8000, 256, 4, MsAdpcmExtra(500));
    cutCoefficients.resize(cutCoefficients.size() - 3);  // cbSize claims bytes the chunk does not hold
    const Case cases[] = {
        {"MPEG layer 3", Format(0x55, 2, 44100, 1, 0, Le16({1, 2, 0, 0, 0, 0}))},
        {"unknown tag", Format(0x1234, 1, 8000, 2, 16)},
        {"fewer than 16 bytes", shortFormat},
        {"no channels", Format(1, 0, 8000, 2, 16)},
        {"three channels", Format(1, 3, 8000, 6, 16)},
        {"rate 0", Format(1, 1, 0, 2, 16)},
        {"absurd rate", Format(1, 1, 0xFFFFFFFF, 2, 16)},
        {"block align 0", Format(1, 1, 8000, 0, 16)},
        {"PCM block align not the frame", Format(1, 2, 8000, 2, 16)},
        {"PCM of 12 bits", Format(1, 1, 8000, 2, 12)},
        {"PCM of 0 bits", Format(1, 1, 8000, 1, 0)},
        {"float of 16 bits", Format(3, 1, 8000, 2, 16)},
        {"IMA without samples per block", Format(0x11, 1, 8000, 256, 4, {}, false)},
        {"IMA samples per block off by 8", Format(0x11, 1, 8000, 256, 4, Le16({497}))},
        {"IMA block align not whole groups", Format(0x11, 2, 8000, 258, 4, Le16({249}))},
        {"IMA block align below the header", Format(0x11, 2, 8000, 4, 4, Le16({1}))},
        {"IMA of 3 bits", Format(0x11, 1, 8000, 256, 3, Le16({505}))},
        {"MS ADPCM samples per block off", Format(2, 1, 8000, 256, 4, MsAdpcmExtra(501))},
        {"MS ADPCM no coefficients", Format(2, 1, 8000, 256, 4, Le16({500, 0}))},
        {"MS ADPCM coefficients cut off", cutCoefficients},
        {"MS ADPCM block align below the header", Format(2, 2, 8000, 13, 4, MsAdpcmExtra(2))},
        {"G.711 block align 2 for mono", Format(6, 1, 8000, 2, 8)},
        {"G.711 of 16 bits", Format(7, 1, 8000, 2, 16)},
        {"GSM stereo", Format(0x31, 2, 8000, 65, 0, Le16({320}))},
        {"GSM block align 64", Format(0x31, 1, 8000, 64, 0, Le16({320}))},
        {"GSM 160 samples per block", Format(0x31, 1, 8000, 65, 0, Le16({160}))},
        {"extensible with an unknown GUID", Format(0xFFFE, 2, 8000, 6, 24, ExtensibleExtra(24, 1, 0x72))},
        {"extensible around ADPCM", Format(0xFFFE, 1, 8000, 256, 4, ExtensibleExtra(4, 2))},
        {"extensible with valid bits above bits", Format(0xFFFE, 1, 8000, 2, 16, ExtensibleExtra(24, 1))},
        {"extensible cut short", Format(0xFFFE, 1, 8000, 2, 16, Le16({16, 3, 0}))},
    };
    for (const auto& [what, format] : cases) {
        MMRESULT result = 0;
        Suggest(format, &result);
        EXPECT_EQ(result, ACMERR_NOTPOSSIBLE) << what;
        HACMSTREAM stream = nullptr;
        WAVEFORMATEX pcm{WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
        EXPECT_NE(acmStreamOpen(&stream, nullptr, format.data(), DWORD(format.size()), &pcm, nullptr, 0, 0,
                                ACM_STREAMOPENF_NONREALTIME),
                  MMSYSERR_NOERROR)
            << what;
        EXPECT_EQ(stream, nullptr) << what;
    }
}

TEST(Acm, SuggestionHonoursRestrictionsAndArguments) {
    const std::vector<uint8_t> pcm8 = Format(1, 2, 11025, 2, 8);
    WAVEFORMATEX wanted{WAVE_FORMAT_PCM, 2, 11025, 0, 0, 16, 0};
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm8.data(), DWORD(pcm8.size()), &wanted, sizeof wanted,
                               ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_WBITSPERSAMPLE),
              MMSYSERR_NOERROR);
    EXPECT_EQ(wanted.wBitsPerSample, 16);
    EXPECT_EQ(wanted.nBlockAlign, 4);

    WAVEFORMATEX otherRate{WAVE_FORMAT_PCM, 2, 44100, 0, 0, 16, 0};
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm8.data(), DWORD(pcm8.size()), &otherRate, sizeof otherRate,
                               ACM_FORMATSUGGESTF_NSAMPLESPERSEC),
              ACMERR_NOTPOSSIBLE);
    WAVEFORMATEX notPcm{WAVE_FORMAT_ADPCM, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm8.data(), DWORD(pcm8.size()), &notPcm, sizeof notPcm,
                               ACM_FORMATSUGGESTF_WFORMATTAG),
              ACMERR_NOTPOSSIBLE);
    WAVEFORMATEX small{};
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm8.data(), DWORD(pcm8.size()), &small, 15, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(acmFormatSuggest(nullptr, pcm8.data(), DWORD(pcm8.size()), &small, sizeof small, 0x1),
              MMSYSERR_INVALFLAG);
}

// The algorithms are the same as sox's, so the samples match one for one.
// The lengths differ only at the end: sox stops at the "fact" count, while a
// stream turns every whole block into PCM, the encoder's padding included.
TEST(Acm, EachCodecMatchesSoxSampleForSample) {
    const char* fixtures[] = {"wave_ima_stereo", "wave_ima_mono", "wave_msadpcm_stereo", "wave_msadpcm_mono",
                              "wave_alaw",       "wave_mulaw",    "wave_gsm"};
    for (const std::string name : fixtures) {
        const WaveChunks chunks = ReadChunks(name + ".wav");
        Stream stream(chunks.format);
        const std::vector<int16_t> decoded = ToSamples(stream.Convert(chunks.data.data(), chunks.data.size()));
        const std::vector<int16_t> reference = ReadRaw16(name + ".raw");
        ASSERT_FALSE(reference.empty()) << name;
        const size_t blockSamples = 4096;  // more than any of these formats holds in one block
        EXPECT_LE(decoded.size(), reference.size() + blockSamples) << name;
        EXPECT_GE(decoded.size() + blockSamples, reference.size()) << name;
        const size_t common = std::min(decoded.size(), reference.size());
        size_t mismatches = 0;
        for (size_t index = 0; index < common; ++index) mismatches += decoded[index] != reference[index];
        EXPECT_EQ(mismatches, 0u) << name << " over " << common << " samples";
    }
}

TEST(Acm, WidePcmAndFloatKeepTheTopSixteenBits) {
    struct Case {
        const char* fixture;
        const char* source;
    };
    const Case cases[] = {
        {"wave_pcm24_stereo.wav", "wave_source_stereo.wav"},
        {"wave_pcm32_mono.wav", "wave_source_mono.wav"},
        {"wave_float_stereo.wav", "wave_source_stereo.wav"},
        {"wave_float_mono.wav", "wave_source_mono.wav"},
    };
    for (const auto& [fixture, source] : cases) {
        const WaveChunks wide = ReadChunks(fixture);
        Stream stream(wide.format);
        EXPECT_EQ(stream.Convert(wide.data.data(), wide.data.size()), ReadChunks(source).data) << fixture;
    }
}

TEST(Acm, FloatIsRoundedAndClipped) {
    const std::vector<uint8_t> format = Format(3, 1, 8000, 4, 32);
    const float values[] = {0.5f, -1.0f, 1.0f, 2.5f, -7.0f, 1.75f / 32768.0f, std::nanf("")};
    const int16_t expected[] = {16384, -32768, 32767, 32767, -32768, 2, 0};
    std::vector<uint8_t> bytes(sizeof values);
    std::memcpy(bytes.data(), values, sizeof values);
    Stream stream(format);
    const std::vector<int16_t> decoded = ToSamples(stream.Convert(bytes.data(), bytes.size()));
    EXPECT_EQ(decoded, std::vector<int16_t>(std::begin(expected), std::end(expected)));
}

TEST(Acm, PcmConvertsBetweenEightAndSixteenBits) {
    const std::vector<uint8_t> eight = Format(1, 1, 8000, 1, 8);
    const std::vector<uint8_t> sixteen = Format(1, 1, 8000, 2, 16);
    const std::vector<uint8_t> source8 = {0, 1, 127, 128, 129, 255};
    const std::vector<uint8_t> source16 = Le16({-32768, -1, 0, 255, 256, 32767});
    struct Case {
        const std::vector<uint8_t>* format;
        const std::vector<uint8_t>* source;
        uint16_t outputBits;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {&eight, &source8, 8, source8},
        {&eight, &source8, 16, Le16({-32768, -32512, -256, 0, 256, 32512})},
        {&sixteen, &source16, 16, source16},
        {&sixteen, &source16, 8, {0, 127, 128, 128, 129, 255}},
    };
    for (const auto& [format, source, bits, expected] : cases) {
        WAVEFORMATEX pcm{WAVE_FORMAT_PCM, 1, 8000, 8000u * bits / 8, uint16_t(bits / 8), bits, 0};
        HACMSTREAM stream = nullptr;
        ASSERT_EQ(acmStreamOpen(&stream, nullptr, format->data(), DWORD(format->size()), &pcm, nullptr, 0, 0, 0),
                  MMSYSERR_NOERROR);
        std::vector<uint8_t> output(64);
        ACMSTREAMHEADER header{};
        header.cbStruct = sizeof header;
        header.pbSrc = const_cast<uint8_t*>(source->data());
        header.cbSrcLength = DWORD(source->size());
        header.pbDst = output.data();
        header.cbDstLength = DWORD(output.size());
        ASSERT_EQ(acmStreamPrepareHeader(stream, &header, 0), MMSYSERR_NOERROR);
        ASSERT_EQ(acmStreamConvert(stream, &header, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(acmStreamUnprepareHeader(stream, &header, 0), MMSYSERR_NOERROR);
        output.resize(header.cbDstLengthUsed);
        EXPECT_EQ(output, expected) << bits;
        acmStreamClose(stream, 0);
    }
}

TEST(Acm, SplitConversionsEqualOneConversion) {
    const char* fixtures[] = {"wave_ima_stereo.wav", "wave_msadpcm_stereo.wav", "wave_gsm.wav", "wave_mulaw.wav",
                              "wave_pcm24_stereo.wav", "wave_float_mono.wav"};
    const std::vector<size_t> pieces = {1, 7, 64, 333, 65, 1000, 2, 4096, 129};
    for (const char* fixture : fixtures) {
        const WaveChunks chunks = ReadChunks(fixture);
        Stream whole(chunks.format);
        Stream split(chunks.format);
        EXPECT_EQ(split.ConvertInPieces(chunks.data, pieces), whole.Convert(chunks.data.data(), chunks.data.size()))
            << fixture;
    }
}

TEST(Acm, ResetForgetsPartialBlocksAndHistory) {
    for (const char* fixture : {"wave_gsm.wav", "wave_ima_mono.wav", "wave_msadpcm_mono.wav"}) {
        const WaveChunks chunks = ReadChunks(fixture);
        Stream fresh(chunks.format);
        const std::vector<uint8_t> expected = fresh.Convert(chunks.data.data(), chunks.data.size());

        Stream reused(chunks.format);
        // A stretch from the middle, ending inside a block, leaves history and a partial block.
        reused.Convert(chunks.data.data() + 1000, 777);
        ASSERT_EQ(acmStreamReset(reused.Handle(), 0), MMSYSERR_NOERROR);
        EXPECT_EQ(reused.Convert(chunks.data.data(), chunks.data.size()), expected) << fixture;

        Stream started(chunks.format);
        started.Convert(chunks.data.data() + 1000, 777);
        EXPECT_EQ(started.Convert(chunks.data.data(), chunks.data.size(), ACM_STREAMCONVERTF_START), expected)
            << fixture << ": the start flag resets as well";
    }
}

TEST(Acm, SizesWholeBlocksBothWays) {
    struct Case {
        const char* what;
        std::vector<uint8_t> format;
        DWORD input;
        DWORD flags;
        DWORD expected;
    };
    const std::vector<uint8_t> ima = Format(0x11, 1, 8000, 256, 4, Le16({505}));
    const std::vector<uint8_t> gsm = Format(0x31, 1, 8000, 65, 0, Le16({320}));
    const std::vector<uint8_t> pcm24 = Format(1, 2, 8000, 6, 24);
    const std::vector<uint8_t> ms = Format(2, 2, 8000, 512, 4, MsAdpcmExtra(500));
    const Case cases[] = {
        {"IMA one block", ima, 256, ACM_STREAMSIZEF_SOURCE, 1010},
        {"IMA under a block", ima, 255, ACM_STREAMSIZEF_SOURCE, 0},
        {"IMA three blocks and a bit", ima, 800, ACM_STREAMSIZEF_SOURCE, 3030},
        {"IMA room for one block", ima, 1010, ACM_STREAMSIZEF_DESTINATION, 256},
        {"IMA room under one block", ima, 1009, ACM_STREAMSIZEF_DESTINATION, 0},
        {"GSM one block", gsm, 65, ACM_STREAMSIZEF_SOURCE, 640},
        {"GSM room for 3 blocks", gsm, 2048, ACM_STREAMSIZEF_DESTINATION, 195},
        {"MS ADPCM stereo", ms, 1024, ACM_STREAMSIZEF_SOURCE, 4000},
        {"MS ADPCM room", ms, 4000, ACM_STREAMSIZEF_DESTINATION, 1024},
        {"24-bit frames", pcm24, 601, ACM_STREAMSIZEF_SOURCE, 400},
        {"24-bit room", pcm24, 401, ACM_STREAMSIZEF_DESTINATION, 600},
    };
    for (const auto& [what, format, input, flags, expected] : cases) {
        Stream stream(format);
        DWORD output = 12345;
        EXPECT_EQ(acmStreamSize(stream.Handle(), input, &output, flags), MMSYSERR_NOERROR) << what;
        EXPECT_EQ(output, expected) << what;
    }
    Stream stream(pcm24);
    DWORD output = 0;
    EXPECT_EQ(acmStreamSize(stream.Handle(), 0xFFFFFFFF, &output, ACM_STREAMSIZEF_DESTINATION), ACMERR_NOTPOSSIBLE)
        << "the source size would not fit 32 bits";
    EXPECT_EQ(acmStreamSize(stream.Handle(), 6, &output, 7), MMSYSERR_INVALFLAG);
}

TEST(Acm, ConvertNeverWritesPastTheRoomItIsGiven) {
    const WaveChunks chunks = ReadChunks("wave_ima_mono.wav");  // 256-byte blocks of 1010 PCM bytes
    Stream stream(chunks.format);
    std::vector<uint8_t> output(1500, 0xEE);
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = const_cast<uint8_t*>(chunks.data.data());
    header.cbSrcLength = 1024;
    header.pbDst = output.data();
    header.cbDstLength = 1500;
    ASSERT_EQ(acmStreamPrepareHeader(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
    header.cbDstLength = 1009;  // less than one block
    ASSERT_EQ(acmStreamConvert(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(header.cbDstLengthUsed, 0u);
    EXPECT_EQ(header.cbSrcLengthUsed, 0u);
    EXPECT_TRUE(std::all_of(output.begin(), output.end(), [](uint8_t byte) { return byte == 0xEE; }));

    header.cbDstLength = 1500;  // one block fits, the other three stay with the caller
    ASSERT_EQ(acmStreamConvert(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(header.cbDstLengthUsed, 1010u);
    EXPECT_EQ(header.cbSrcLengthUsed, 256u);
    EXPECT_TRUE(std::all_of(output.begin() + 1010, output.end(), [](uint8_t byte) { return byte == 0xEE; }));
    EXPECT_EQ(acmStreamUnprepareHeader(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
}

TEST(Acm, HeadersMustBePreparedAndHandlesValid) {
    const WaveChunks chunks = ReadChunks("wave_alaw.wav");
    Stream stream(chunks.format);
    std::vector<uint8_t> output(64);
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = const_cast<uint8_t*>(chunks.data.data());
    header.cbSrcLength = 16;
    header.pbDst = output.data();
    header.cbDstLength = 32;
    EXPECT_EQ(acmStreamConvert(stream.Handle(), &header, 0), ACMERR_UNPREPARED);
    EXPECT_EQ(acmStreamUnprepareHeader(stream.Handle(), &header, 0), ACMERR_UNPREPARED);
    ACMSTREAMHEADER small = header;
    small.cbStruct = 8;
    EXPECT_EQ(acmStreamPrepareHeader(stream.Handle(), &small, 0), MMSYSERR_INVALPARAM);
    ASSERT_EQ(acmStreamPrepareHeader(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
    header.cbDstLength = 64;
    EXPECT_EQ(acmStreamConvert(stream.Handle(), &header, 0), MMSYSERR_INVALPARAM) << "grown after preparing";
    header.cbDstLength = 32;
    EXPECT_EQ(acmStreamConvert(stream.Handle(), &header, 0), MMSYSERR_NOERROR);
    EXPECT_NE(header.fdwStatus & ACMSTREAMHEADER_STATUSF_DONE, 0u);
    EXPECT_EQ(acmStreamUnprepareHeader(stream.Handle(), &header, 0), MMSYSERR_NOERROR);

    DWORD size = 0;
    EXPECT_EQ(acmStreamSize(nullptr, 16, &size, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamReset(nullptr, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamClose(nullptr, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamConvert(nullptr, &header, 0), MMSYSERR_INVALHANDLE);

    WAVEFORMATEX pcm = stream.Output();
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, chunks.format.data(), DWORD(chunks.format.size()), &pcm, nullptr, 0, 0,
                            ACM_STREAMOPENF_QUERY),
              MMSYSERR_NOERROR);
    pcm.nSamplesPerSec = 44100;
    EXPECT_EQ(acmStreamOpen(nullptr, nullptr, chunks.format.data(), DWORD(chunks.format.size()), &pcm, nullptr, 0, 0,
                            ACM_STREAMOPENF_QUERY),
              ACMERR_NOTPOSSIBLE)
        << "no rate conversion";
}

// Blocks of noise, and headers with out-of-range step indexes, predictors
// and steps: every sample stays a sample, every block its size.
TEST(Acm, DamagedAdpcmBlocksDecodeToBoundedOutput) {
    struct Case {
        const char* what;
        std::vector<uint8_t> format;
        uint32_t blockBytes;
        uint32_t pcmBytesPerBlock;
    };
    const Case cases[] = {
        {"IMA stereo", Format(0x11, 2, 8000, 512, 4, Le16({505})), 512, 505 * 4},
        {"IMA mono", Format(0x11, 1, 8000, 4, 4, Le16({1})), 4, 2},
        {"MS ADPCM stereo", Format(2, 2, 8000, 512, 4, MsAdpcmExtra(500)), 512, 500 * 4},
        {"MS ADPCM mono, 256 predictors", Format(2, 1, 8000, 256, 4, MsAdpcmExtra(500, 256)), 256, 500 * 2},
        {"MS ADPCM mono, header only", Format(2, 1, 8000, 7, 4, MsAdpcmExtra(2)), 7, 4},
    };
    std::mt19937 random(7);
    for (const auto& [what, format, blockBytes, pcmBytesPerBlock] : cases) {
        std::vector<uint8_t> noise(blockBytes * 64);
        for (uint8_t& byte : noise) byte = uint8_t(random());
        // Worst-case headers: the largest step index, predictor and step.
        for (size_t block = 0; block < 8; ++block) std::fill_n(noise.begin() + long(block * blockBytes), 7, 0xFF);
        for (size_t block = 8; block < 16; ++block) {
            std::fill_n(noise.begin() + long(block * blockBytes), 7, 0x7F);
        }
        Stream stream(format);
        const std::vector<uint8_t> pcm = stream.Convert(noise.data(), noise.size());
        EXPECT_EQ(pcm.size(), size_t{64} * pcmBytesPerBlock) << what;
    }
}

TEST(Acm, GsmWithNoiseStaysBounded) {
    const std::vector<uint8_t> format = Format(0x31, 1, 8000, 65, 0, Le16({320}));
    std::vector<uint8_t> noise(65 * 100);
    std::mt19937 random(11);
    for (uint8_t& byte : noise) byte = uint8_t(random());
    Stream stream(format);
    EXPECT_EQ(stream.Convert(noise.data(), noise.size()).size(), 100u * 640);
}

}  // namespace
