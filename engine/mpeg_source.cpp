#include "engine/mpeg_source.h"

#include "engine/mpeg_file.h"
#include "engine/player_engine.h"

namespace engine {

bool OpenMpegFile(PlayerEngine& engine, const std::string& path) {
    if (!ProbeMpegFile(path)) return false;
    if (!engine.fileReader.ReaderOpen(path)) return false;
    engine.path = path;
    if (!MpegOpenScan(engine)) {
        engine.fileReader.ReaderClose();
        engine.path.clear();
        return false;
    }
    return true;
}

void RewindMpegFile(PlayerEngine& engine) {
    engine.fileReader.ReaderSeek(0, SEEK_FROM_START);
}

SourceOutput MpegOutputFormat(const PlayerEngine& engine) {
    const int32_t rate = engine.sourceFormat.sampleRate;
    return {engine.options.bitsPerSample, engine.options.halfRate ? rate / 2 : rate};
}

uint32_t MpegBlockCapacity(const PlayerEngine& engine, int32_t outputBits) {
    const PlayerSourceFormat& format = engine.sourceFormat;
    auto capacity = static_cast<uint32_t>(outputBits / 8 * format.samplesPerFrame * format.channels);
    if (format.sampleRate > 11025) capacity *= 2;
    if (format.sampleRate > 22050) capacity *= 2;
    if (engine.options.halfRate) capacity /= 2;
    return capacity;
}

}  // namespace engine
