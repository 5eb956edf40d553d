#pragma once

#include <cstdint>
#include <string>

struct PlayerEngine;

namespace engine {

class FileReader;

// Whether the file's content is MPEG audio: an ID3v2 start, a RIFF "RMP3" or
// MPEG-in-WAVE file, or two consecutive matching frame headers within its
// first 4096 bytes.
bool ProbeMpegFile(const std::string& path);

// Offset of the next position from the reader's current one that passes the
// quick sync test (and, for the matching search, has that version and layer);
// the reader is left there. kNoPosition when none is found (within `limit`
// bytes for the first).
uint64_t FindFrameSync(FileReader& reader, uint64_t limit);
uint64_t FindMatchingFrameSync(FileReader& reader, int32_t version, int32_t layer);

// Samples up to 129 frames from the middle of the open file's audio to fill
// the engine's source format and length, reading a bounded amount whatever
// the file holds. A tail of zeros (an unfinished download, a sparse hole) is
// not audio: the reader ends where the audio does. A Xing frame at the start
// fills the engine's MpegGapless and, with it, the length (mpeg_gapless.h).
// The reader ends at offset 0.
bool MpegOpenScan(PlayerEngine& engine);

// The byte offset where the frame holding `targetSample` starts, estimated
// from the average frame length.
uint64_t MpegSeekOffset(uint32_t targetSample, int32_t samplesPerFrame, int32_t averageFrameLength);

// Repositions the open MPEG file at `milliseconds`, under the decode lock.
bool MpegSeek(PlayerEngine& engine, int32_t milliseconds);

}  // namespace engine
