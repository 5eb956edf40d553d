#pragma once

#include <string>
#include <vector>

// `tunelark-cli render FILE -o OUT.wav [options]`: plays FILE through the
// capture device as fast as the engine runs and writes what it queued.
int RunRenderCommand(const std::vector<std::string>& arguments);
