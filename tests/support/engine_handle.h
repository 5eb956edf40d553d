#pragma once

// An engine that is destroyed with its owner, for tests that need one of
// their own.

#include <memory>

#include "engine/player.h"

namespace test {

struct EngineDeleter {
    void operator()(PlayerEngine* engine) const { PlayerDestroy(engine); }
};
using EngineHandle = std::unique_ptr<PlayerEngine, EngineDeleter>;

inline EngineHandle MakeEngine() { return EngineHandle(PlayerCreate()); }

}  // namespace test
