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

}  // namespace base_skin
