// base_skin_generator: draws the player's base skin, icon and click sound and
// writes them under the directory it is given (normally resources/); with
// --icons, the icon at the desktop's sizes instead (done at build time, for
// installing).

#include <cstdio>
#include <string>

#include "tools/base_skin/base_skin_files.h"

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: base_skin_generator OUTDIR\n       base_skin_generator --icons OUTDIR\n");
        return 2;
    }
    std::string error;
    const bool written = icons ? base_skin::WriteGeneratedFiles(base_skin::GenerateDesktopIcons(), argv[2], error)
                               : base_skin::WriteResourceFiles(argv[1], error);
    if (!written) {
        std::fprintf(stderr, "base_skin_generator: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
