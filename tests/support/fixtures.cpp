#include "tests/support/fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace test {

std::string FixturePath(const std::string& name) {
    const char* directory = std::getenv("TUNELARK_FIXTURES");
    return std::string(directory != nullptr ? directory : TUNELARK_FIXTURES_DIR) + "/" + name;
}

std::string RegressionInputPath(const std::string& harness, const std::string& name) {
    return std::string(TUNELARK_REGRESSIONS_DIR) + "/" + harness + "/" + name;
}

std::string CliPath() {
    const char* path = std::getenv("TUNELARK_CLI");
    return path != nullptr ? path : TUNELARK_CLI_PATH;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TemporaryFile::TemporaryFile(const std::vector<uint8_t>& bytes, const std::string& name)
    : path_(directory_.PathOf(name)) {
    std::ofstream file(path_, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test
