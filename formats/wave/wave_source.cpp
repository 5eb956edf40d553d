// Until WAVE playback lands, WAVE files are refused.

#include "formats/wave/wave_source.h"

bool WaveOpen(PlayerEngine&, const std::string&) { return false; }
void WaveClose(PlayerEngine&) {}
bool WaveProbe(const std::string&) { return false; }
bool WaveSeek(PlayerEngine&, int32_t) { return false; }
void WaveRewind(PlayerEngine&) {}
void WaveThread(PlayerEngine&) {}
int32_t WaveOutputBits(const PlayerEngine&) { return 16; }
