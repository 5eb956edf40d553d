#pragma once

#include "platform/command_options.h"

// `tunelark-cli render FILE -o OUT.wav [options]`: plays FILE through the
// capture device as fast as the engine runs and writes what it queued.
int RunRenderCommand(const platform::ParsedArguments& arguments);
