// Skin directories: the input is a small tree of files, each "NAME\n" and
// its content, separated by lines "--" (a name ending in '/' makes a
// folder). The check counts the skin's file names ignoring case and
// folders; a directory that fails it never loads, and one that loads is
// the skin in use.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/path_text.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/skin/skin.h"

namespace {

constexpr std::string_view kSeparator = "\n--\n";
constexpr size_t kMostFiles = 32;
constexpr size_t kLongestName = 64;
constexpr int kRequiredSkinFiles = 13;
constexpr std::array<std::string_view, 14> kSkinFileNames = {
    "cbuttons.bmp", "eqmain.bmp", "main.bmp", "monoster.bmp", "playpaus.bmp", "pledit.bmp", "posbar.bmp",
    "shufrep.bmp", "text.bmp", "titlebar.bmp", "volume.bmp", "numbers.bmp", "nums_ex.bmp", "pledit.txt",
};

// A name that stays one entry inside the directory, or empty.
std::string EntryName(std::string_view name) {
    std::string safe;
    for (const char c : name.substr(0, kLongestName)) {
        if (c != '/' && c != '\0') safe += c;
    }
    return safe == "." || safe == ".." ? std::string() : safe;
}

// Builds the tree of `input` in a fresh `directory` and returns how many of
// its files bear a skin file's name.
int BuildTree(const std::string& directory, std::string_view input) {
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    std::filesystem::create_directory(directory);
    int named = 0;
    for (size_t files = 0; files < kMostFiles && !input.empty(); ++files) {
        const size_t end = std::min(input.find(kSeparator), input.size());
        const std::string_view part = input.substr(0, end);
        input.remove_prefix(std::min(input.size(), end + kSeparator.size()));

        const size_t newline = std::min(part.find('\n'), part.size());
        const std::string_view line = part.substr(0, newline);
        const bool folder = line.ends_with('/');
        const std::string name = EntryName(line);
        if (name.empty() || std::filesystem::exists(directory + "/" + name, ignored)) continue;
        if (folder) {
            std::filesystem::create_directory(directory + "/" + name, ignored);
            continue;
        }
        const std::string_view content = part.substr(std::min(part.size(), newline + 1));
        fuzz::WriteScratchFile("skin/" + name, reinterpret_cast<const uint8_t*>(content.data()), content.size());
        const std::string folded = platform::FoldCase(name);
        named += std::count(kSkinFileNames.begin(), kSkinFileNames.end(), folded) > 0 ? 1 : 0;
    }
    return named;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string directory = fuzz::ScratchDirectory() + "/skin";
    const int named = BuildTree(directory, std::string_view(reinterpret_cast<const char*>(data), size));
    const bool isSkin = CheckSkinDirectory(directory);
    fuzz::Check(isSkin == (named >= kRequiredSkinFiles), "the check counts the skin's file names");

    g_skin.Loaded = false;
    g_skin.IsBaseSkin = true;
    const bool loaded = LoadSkinDirectory(directory);
    fuzz::Check(isSkin || !loaded, "a directory that fails the check does not load");
    fuzz::Check(!loaded || (g_skin.Loaded && !g_skin.IsBaseSkin), "a loaded directory is the skin in use");
    fuzz::Check(loaded || (!g_skin.Loaded && g_skin.IsBaseSkin), "a refused directory leaves the skin alone");
    ReleaseSkinBitmaps();
    return 0;
}
