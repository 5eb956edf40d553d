#include "tools/base_skin/base_skin_files.h"

#include <filesystem>
#include <fstream>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/bmp_encoder.h"
#include "tools/base_skin/click_sound.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/png_encoder.h"
#include "tools/base_skin/wave_encoder.h"

namespace base_skin {
namespace {

struct Picture {
    const char* relativePath;
    Surface (*paint)();
};

Surface PaintSmallIcon() { return PaintIcon(16); }
Surface PaintLargeIcon() { return PaintIcon(32); }

constexpr Picture kPictures[] = {
    {"base_skin/balance.bmp", PaintBalanceBar},
    {"base_skin/cbuttons.bmp", PaintControlButtons},
    {"base_skin/eqmain.bmp", PaintEqualizer},
    {"base_skin/main.bmp", PaintMainBackground},
    {"base_skin/monoster.bmp", PaintChannelIndicators},
    {"base_skin/numbers.bmp", PaintDigits},
    {"base_skin/playpaus.bmp", PaintPlayStateIcons},
    {"base_skin/pledit.bmp", PaintPlaylistFrame},
    {"base_skin/posbar.bmp", PaintPositionBar},
    {"base_skin/shufrep.bmp", PaintToggleButtons},
    {"base_skin/text.bmp", PaintTextFont},
    {"base_skin/titlebar.bmp", PaintTitleBars},
    {"base_skin/volume.bmp", PaintVolumeBar},
    {"base_skin/playlist_bar.bmp", PaintBasePlaylistBar},
    {"icon/tunelark_16.bmp", PaintSmallIcon},
    {"icon/tunelark_32.bmp", PaintLargeIcon},
    {"prev_button.bmp", PaintPreviousButtonPicture},
    {"next_button.bmp", PaintNextButtonPicture},
};

}  // namespace

std::vector<GeneratedFile> GenerateResourceFiles() {
    const auto palette = BasePalette();
    std::vector<GeneratedFile> files;
    for (const Picture& picture : kPictures) {
        files.push_back({picture.relativePath, EncodeIndexedBmp(picture.paint(), palette)});
    }
    files.push_back({"click.wav", EncodeMonoWave(SynthesizeClick(), kClickSampleRate)});
    return files;
}

std::vector<GeneratedFile> GenerateDesktopIcons() {
    const auto palette = BasePalette();
    std::vector<GeneratedFile> files;
    for (const int side : kDesktopIconSides) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        files.push_back({"hicolor/" + size + "/apps/tunelark.png",
                         EncodeIndexedPng(PaintIcon(side), palette, kIconCornerInk)});
    }
    return files;
}

bool WriteResourceFiles(const std::string& directory, std::string& error) {
    return WriteGeneratedFiles(GenerateResourceFiles(), directory, error);
}

bool WriteGeneratedFiles(const std::vector<GeneratedFile>& files, const std::string& directory, std::string& error) {
    for (const GeneratedFile& file : files) {
        const std::filesystem::path path = std::filesystem::path(directory) / file.relativePath;
        std::error_code code;
        std::filesystem::create_directories(path.parent_path(), code);
        std::ofstream stream(path, std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        if (!stream.flush()) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace base_skin
