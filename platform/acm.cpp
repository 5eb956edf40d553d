// The compression manager's calls: format suggestion, and streams that
// convert whole source blocks through a codec while keeping a partial block
// from one conversion for the next.

#include "platform/acm.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/acm_codec.h"

namespace platform::acm {

struct AcmStream {
    static constexpr uint32_t kLiveMarker = 0x41434D53;  // "ACMS"
    uint32_t marker = kLiveMarker;
    std::unique_ptr<AcmCodec> codec;
    // The start of a source block that a conversion could not finish.
    std::vector<uint8_t> pending;
    uint32_t pendingBytes = 0;
};

namespace {

constexpr DWORD kSuggestRestrictions = ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS |
                                       ACM_FORMATSUGGESTF_NSAMPLESPERSEC | ACM_FORMATSUGGESTF_WBITSPERSAMPLE;
constexpr DWORD kConvertFlags = ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
// Where a prepared header keeps the lengths it was prepared with.
constexpr size_t kPreparedSourceSlot = 0;
constexpr size_t kPreparedDestinationSlot = 1;

bool IsLive(HACMSTREAM stream) {
    return stream != nullptr && stream->marker == AcmStream::kLiveMarker;
}

WAVEFORMATEX PcmFormat(WORD channels, DWORD sampleRate, WORD bits) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = sampleRate;
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    format.wBitsPerSample = bits;
    format.cbSize = 0;
    return format;
}

// The restriction flags ask that the suggestion keeps the caller's value.
bool Restricts(DWORD flags, DWORD restriction) { return (flags & restriction) != 0; }

MMRESULT CheckHeader(HACMSTREAM stream, const ACMSTREAMHEADER* header) {
    if (!IsLive(stream)) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->cbStruct < sizeof(ACMSTREAMHEADER)) return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOERROR;
}

void Forget(AcmStream& stream) {
    stream.pendingBytes = 0;
    stream.codec->Reset();
}

struct Conversion {
    const uint8_t* source;
    uint32_t sourceLength;
    uint8_t* destination;
    uint32_t destinationLength;
    uint32_t sourceUsed = 0;
    uint32_t destinationUsed = 0;
};

// Completes the pending block from the source and decodes it; false when the
// destination has no room for it.
bool FinishPendingBlock(AcmStream& stream, Conversion& conversion) {
    AcmCodec& codec = *stream.codec;
    const uint32_t missing = codec.SourceBlockBytes() - stream.pendingBytes;
    if (conversion.sourceLength < missing) {
        std::memcpy(stream.pending.data() + stream.pendingBytes, conversion.source, conversion.sourceLength);
        stream.pendingBytes += conversion.sourceLength;
        conversion.sourceUsed = conversion.sourceLength;
        return true;
    }
    if (conversion.destinationLength < codec.OutputBlockBytes()) return false;
    std::memcpy(stream.pending.data() + stream.pendingBytes, conversion.source, missing);
    codec.DecodeBlocks(stream.pending.data(), 1, conversion.destination);
    stream.pendingBytes = 0;
    conversion.sourceUsed = missing;
    conversion.destinationUsed = codec.OutputBlockBytes();
    return true;
}

void Convert(AcmStream& stream, Conversion& conversion, bool keepPartialBlock) {
    AcmCodec& codec = *stream.codec;
    if (stream.pendingBytes > 0 && !FinishPendingBlock(stream, conversion)) return;
    if (stream.pendingBytes > 0) return;  // the whole source went into the pending block

    const uint32_t sourceLeft = conversion.sourceLength - conversion.sourceUsed;
    const uint32_t room = conversion.destinationLength - conversion.destinationUsed;
    const uint32_t blocks = std::min(sourceLeft / codec.SourceBlockBytes(), room / codec.OutputBlockBytes());
    codec.DecodeBlocks(conversion.source + conversion.sourceUsed, blocks,
                       conversion.destination + conversion.destinationUsed);
    conversion.sourceUsed += blocks * codec.SourceBlockBytes();
    conversion.destinationUsed += blocks * codec.OutputBlockBytes();

    const uint32_t rest = conversion.sourceLength - conversion.sourceUsed;
    if (keepPartialBlock && rest > 0 && rest < codec.SourceBlockBytes()) {
        std::memcpy(stream.pending.data(), conversion.source + conversion.sourceUsed, rest);
        stream.pendingBytes = rest;
        conversion.sourceUsed += rest;
    }
}

}  // namespace

MMRESULT acmFormatSuggest(HACMDRIVER driver, const void* source, DWORD sourceBytes, WAVEFORMATEX* destination,
                          DWORD destinationBytes, DWORD flags) {
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if ((flags & ~kSuggestRestrictions) != 0) return MMSYSERR_INVALFLAG;
    if (destination == nullptr || destinationBytes < kWaveFormatBaseBytes) return MMSYSERR_INVALPARAM;
    SourceFormat format;
    if (!ReadSourceFormat(source, sourceBytes, &format)) return ACMERR_NOTPOSSIBLE;
    if (Restricts(flags, ACM_FORMATSUGGESTF_WFORMATTAG) && destination->wFormatTag != WAVE_FORMAT_PCM) {
        return ACMERR_NOTPOSSIBLE;
    }
    if (Restricts(flags, ACM_FORMATSUGGESTF_NCHANNELS) && destination->nChannels != format.channels) {
        return ACMERR_NOTPOSSIBLE;
    }
    if (Restricts(flags, ACM_FORMATSUGGESTF_NSAMPLESPERSEC) && destination->nSamplesPerSec != format.sampleRate) {
        return ACMERR_NOTPOSSIBLE;
    }
    const WORD bits = Restricts(flags, ACM_FORMATSUGGESTF_WBITSPERSAMPLE) ? destination->wBitsPerSample
                                                                         : PreferredOutputBits(format);
    if (CreateCodec(format, bits) == nullptr) return ACMERR_NOTPOSSIBLE;

    const WAVEFORMATEX suggestion = PcmFormat(format.channels, format.sampleRate, bits);
    std::memcpy(destination, &suggestion, std::min<size_t>(destinationBytes, sizeof suggestion));
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(HACMSTREAM* stream, HACMDRIVER driver, const void* source, DWORD sourceBytes,
                       const WAVEFORMATEX* destination, const WAVEFILTER* filter, DWORD_PTR /*callback*/,
                       DWORD_PTR /*instance*/, DWORD flags) {
    if (stream != nullptr) *stream = nullptr;
    if (driver != nullptr) return MMSYSERR_INVALHANDLE;
    if ((flags & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME)) != 0) return MMSYSERR_INVALFLAG;
    const bool query = (flags & ACM_STREAMOPENF_QUERY) != 0;
    if (destination == nullptr || (stream == nullptr && !query)) return MMSYSERR_INVALPARAM;
    if (filter != nullptr) return ACMERR_NOTPOSSIBLE;  // no filters are installed

    SourceFormat format;
    if (!ReadSourceFormat(source, sourceBytes, &format)) return ACMERR_NOTPOSSIBLE;
    const WAVEFORMATEX expected = PcmFormat(format.channels, format.sampleRate, destination->wBitsPerSample);
    if (destination->wFormatTag != WAVE_FORMAT_PCM || destination->nChannels != expected.nChannels ||
        destination->nSamplesPerSec != expected.nSamplesPerSec || destination->nBlockAlign != expected.nBlockAlign) {
        return ACMERR_NOTPOSSIBLE;
    }
    std::unique_ptr<AcmCodec> codec = CreateCodec(format, destination->wBitsPerSample);
    if (codec == nullptr) return ACMERR_NOTPOSSIBLE;
    if (query) return MMSYSERR_NOERROR;

    auto* opened = new (std::nothrow) AcmStream();
    if (opened == nullptr) return MMSYSERR_NOMEM;
    try {
        opened->pending.resize(codec->SourceBlockBytes());
    } catch (const std::bad_alloc&) {
        delete opened;
        return MMSYSERR_NOMEM;
    }
    opened->codec = std::move(codec);
    *stream = opened;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM stream, DWORD flags) {
    if (!IsLive(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    stream->marker = 0;
    delete stream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM stream, DWORD input, DWORD* output, DWORD flags) {
    if (!IsLive(stream)) return MMSYSERR_INVALHANDLE;
    if (output == nullptr) return MMSYSERR_INVALPARAM;
    const AcmCodec& codec = *stream->codec;
    uint64_t size = 0;
    switch (flags) {
        case ACM_STREAMSIZEF_SOURCE:
            size = uint64_t{input / codec.SourceBlockBytes()} * codec.OutputBlockBytes();
            break;
        case ACM_STREAMSIZEF_DESTINATION:
            // Whole blocks only: less room than one block's output needs no source at all.
            size = uint64_t{input / codec.OutputBlockBytes()} * codec.SourceBlockBytes();
            break;
        default: return MMSYSERR_INVALFLAG;
    }
    if (size > UINT32_MAX) return ACMERR_NOTPOSSIBLE;
    *output = static_cast<DWORD>(size);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamReset(HACMSTREAM stream, DWORD flags) {
    if (!IsLive(stream)) return MMSYSERR_INVALHANDLE;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    Forget(*stream);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags) {
    if (const MMRESULT result = CheckHeader(stream, header); result != MMSYSERR_NOERROR) return result;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if (header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) return MMSYSERR_NOERROR;
    if ((header->pbSrc == nullptr && header->cbSrcLength > 0) ||
        (header->pbDst == nullptr && header->cbDstLength > 0)) {
        return MMSYSERR_INVALPARAM;
    }
    header->dwReservedDriver[kPreparedSourceSlot] = header->cbSrcLength;
    header->dwReservedDriver[kPreparedDestinationSlot] = header->cbDstLength;
    header->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags) {
    if (const MMRESULT result = CheckHeader(stream, header); result != MMSYSERR_NOERROR) return result;
    if ((flags & ~kConvertFlags) != 0) return MMSYSERR_INVALFLAG;
    if ((header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0) return ACMERR_UNPREPARED;
    if (header->fdwStatus & ACMSTREAMHEADER_STATUSF_INQUEUE) return ACMERR_BUSY;
    // The buffers may shrink after preparation, never grow.
    if (header->cbSrcLength > header->dwReservedDriver[kPreparedSourceSlot] ||
        header->cbDstLength > header->dwReservedDriver[kPreparedDestinationSlot]) {
        return MMSYSERR_INVALPARAM;
    }
    if (flags & ACM_STREAMCONVERTF_START) Forget(*stream);
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    Conversion conversion{header->pbSrc, header->cbSrcLength, header->pbDst, header->cbDstLength};
    Convert(*stream, conversion, (flags & ACM_STREAMCONVERTF_BLOCKALIGN) == 0);
    // A partial block at the very end cannot be decoded.
    if (flags & ACM_STREAMCONVERTF_END) stream->pendingBytes = 0;
    header->cbSrcLengthUsed = conversion.sourceUsed;
    header->cbDstLengthUsed = conversion.destinationUsed;
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, ACMSTREAMHEADER* header, DWORD flags) {
    if (const MMRESULT result = CheckHeader(stream, header); result != MMSYSERR_NOERROR) return result;
    if (flags != 0) return MMSYSERR_INVALFLAG;
    if ((header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0) return ACMERR_UNPREPARED;
    header->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

}  // namespace platform::acm
