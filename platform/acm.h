#pragma once

// The audio compression manager: converts WAVE data of a compressed or
// unusual PCM format into 8- or 16-bit PCM that the wave output plays.
//
// Implements, by their documented names and results (0 on success, an
// MMRESULT code otherwise):
//   - acmFormatSuggest to PCM (ACM_FORMATSUGGESTF_WFORMATTAG and the
//     channel, rate and bits restrictions);
//   - acmStreamOpen (ACM_STREAMOPENF_NONREALTIME, ACM_STREAMOPENF_QUERY),
//     acmStreamClose, acmStreamReset;
//   - acmStreamSize both ways (ACM_STREAMSIZEF_SOURCE, _DESTINATION);
//   - acmStreamPrepareHeader, acmStreamConvert, acmStreamUnprepareHeader.
// Codecs: PCM (8, 16, 24, 32-bit integer and 32-bit float in; 8 or 16 out),
// IMA ADPCM, Microsoft ADPCM, A-law, mu-law, GSM 6.10 (WAV49 packing), and
// WAVE_FORMAT_EXTENSIBLE around PCM and float. Any other format gets no
// suggestion. Output is mono or stereo at the source's rate.
//
// One difference from the system's signatures: a source format comes from a
// file, so the calls that take one also take its length in bytes, and read
// nothing beyond it.
//
// A stream keeps a partial source block from one conversion for the next, so
// a caller may cut the source anywhere; acmStreamReset forgets it together
// with the codec's history.

#include <cstdint>

namespace platform::acm {

using MMRESULT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using DWORD_PTR = uintptr_t;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;
constexpr MMRESULT ACMERR_BUSY = 513;
constexpr MMRESULT ACMERR_UNPREPARED = 514;

constexpr WORD WAVE_FORMAT_PCM = 0x0001;
constexpr WORD WAVE_FORMAT_ADPCM = 0x0002;
constexpr WORD WAVE_FORMAT_IEEE_FLOAT = 0x0003;
constexpr WORD WAVE_FORMAT_ALAW = 0x0006;
constexpr WORD WAVE_FORMAT_MULAW = 0x0007;
constexpr WORD WAVE_FORMAT_IMA_ADPCM = 0x0011;
constexpr WORD WAVE_FORMAT_GSM610 = 0x0031;
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

constexpr DWORD ACM_FORMATSUGGESTF_WFORMATTAG = 0x00010000;
constexpr DWORD ACM_FORMATSUGGESTF_NCHANNELS = 0x00020000;
constexpr DWORD ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x00040000;
constexpr DWORD ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x00080000;

constexpr DWORD ACM_STREAMOPENF_QUERY = 0x00000001;
constexpr DWORD ACM_STREAMOPENF_ASYNC = 0x00000002;
constexpr DWORD ACM_STREAMOPENF_NONREALTIME = 0x00000004;

constexpr DWORD ACM_STREAMSIZEF_SOURCE = 0x00000000;
constexpr DWORD ACM_STREAMSIZEF_DESTINATION = 0x00000001;

constexpr DWORD ACM_STREAMCONVERTF_BLOCKALIGN = 0x00000004;
constexpr DWORD ACM_STREAMCONVERTF_START = 0x00000010;
constexpr DWORD ACM_STREAMCONVERTF_END = 0x00000020;

constexpr DWORD ACMSTREAMHEADER_STATUSF_DONE = 0x00010000;
constexpr DWORD ACMSTREAMHEADER_STATUSF_PREPARED = 0x00020000;
constexpr DWORD ACMSTREAMHEADER_STATUSF_INQUEUE = 0x00100000;

#pragma pack(push, 1)
// The 18-byte format header; format-specific bytes follow when cbSize > 0.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// Bytes of a format header without cbSize, the least a format may have.
constexpr uint32_t kWaveFormatBaseBytes = 16;

struct WAVEFILTER;

struct ACMSTREAMHEADER {
    DWORD cbStruct;
    DWORD fdwStatus;
    DWORD_PTR dwUser;
    uint8_t* pbSrc;
    DWORD cbSrcLength;
    DWORD cbSrcLengthUsed;
    DWORD_PTR dwSrcUser;
    uint8_t* pbDst;
    DWORD cbDstLength;
    DWORD cbDstLengthUsed;
    DWORD_PTR dwDstUser;
    DWORD dwReservedDriver[10];
};

struct AcmStream;
using HACMSTREAM = AcmStream*;
struct AcmDriver;
using HACMDRIVER = AcmDriver*;  // always null: there is one built-in driver

// Fills `destination` (at least 16 bytes) with the PCM format that
// `source` converts to. ACMERR_NOTPOSSIBLE when no codec takes the source.
MMRESULT acmFormatSuggest(HACMDRIVER driver, const void* source, DWORD sourceBytes, WAVEFORMATEX* destination,
                          DWORD destinationBytes, DWORD flags);

MMRESULT acmStreamOpen(HACMSTREAM* stream, HACMDRIVER driver, const void* source, DWORD sourceBytes,
                       const WAVEFORMATEX* destination, const WAVEFILTER* filter, DWORD_PTR callback,
                       DWORD_PTR instance, DWORD flags);
MMRESULT acmStreamClose(HACMSTREAM stream, DWORD flags);
MMRESULT acmStreamSize(HACMSTREAM stream, DWORD input, DWORD* output, DWORD flags);
MMRESULT acmStreamReset(HACMSTREAM stream, DWORD flags);
MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags);

}  // namespace platform::acm
