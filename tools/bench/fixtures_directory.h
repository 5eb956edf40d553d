#pragma once

#include <cstdlib>

// The generated test fixtures: $TUNELARK_FIXTURES, else the build tree's
// (the test suite generates them there).
inline const char* FixturesDirectory() {
    const char* directory = std::getenv("TUNELARK_FIXTURES");
    return directory != nullptr ? directory : TUNELARK_FIXTURES_DIR;
}
