#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace base_skin {

struct GeneratedFile {
    std::string relativePath;  // under the resources directory
    std::vector<uint8_t> bytes;
};

// Every file the generator writes, encoded, in a fixed order.
std::vector<GeneratedFile> GenerateResourceFiles();

// Writes them under `directory`, creating subdirectories. Returns false and
// sets `error` when a file cannot be written.
bool WriteResourceFiles(const std::string& directory, std::string& error);

// The sides of the desktop's icons, in pixels.
inline constexpr int kDesktopIconSides[] = {16, 32, 48, 64, 128, 256};

// The program's icon for the desktop's icon theme, one PNG per size, at
// "hicolor/<side>x<side>/apps/tunelark.png".
std::vector<GeneratedFile> GenerateDesktopIcons();

// Writes `files` under `directory`, as WriteResourceFiles does.
bool WriteGeneratedFiles(const std::vector<GeneratedFile>& files, const std::string& directory, std::string& error);

}  // namespace base_skin
