#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temporary_directory.h"

namespace test {

// Path of a generated fixture (tests/fixtures/make_fixtures.sh, run by ctest
// before the tests) in the build tree, or under $TUNELARK_FIXTURES when set.
std::string FixturePath(const std::string& name);

// Path of an input of the fuzzers' regression corpus
// (tests/fuzz/regressions/<harness>/<name>), which tests replay too.
std::string RegressionInputPath(const std::string& harness, const std::string& name);

// The tunelark-cli program of the build tree, or $TUNELARK_CLI when set.
std::string CliPath();

// Reads a whole file; fails the current test when it cannot.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// A file with the given bytes in a fresh temporary directory, removed with
// the object. For the small hand-made inputs that tests build in code.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::vector<uint8_t>& bytes, const std::string& name = "input.bin");

    const std::string& Path() const { return path_; }
    const std::string& Directory() const { return directory_.Path(); }

private:
    TemporaryDirectory directory_;
    std::string path_;
};

}  // namespace test
