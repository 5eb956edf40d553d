// base_skin_generator: draws the player's base skin, icon and click sound and
// writes them under the directory it is given (normally resources/).

#include <cstdio>
#include <string>

#include "tools/base_skin/base_skin_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: base_skin_generator OUTDIR\n");
        return 2;
    }
    std::string error;
    if (!base_skin::WriteResourceFiles(argv[1], error)) {
        std::fprintf(stderr, "base_skin_generator: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
