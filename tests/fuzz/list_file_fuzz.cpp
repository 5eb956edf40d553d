// ".lst" playlist files in any encoding: the lines come out without line
// ends, and the lines that fit a line, written as a file, read back as the
// same lines.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/list_file_text.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> lines =
        ParseListFileText(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::string_view> fitting;
    for (const std::string& line : lines) {
        fuzz::Check(line.find('\n') == std::string::npos, "a line holds no line end");
        if (FitsListFileLine(line)) fitting.push_back(line);
    }
    const std::vector<std::string> reread = ParseListFileText(FormatListFileText(fitting));
    fuzz::Check(reread.size() == fitting.size(), "every line that fits is read back");
    for (size_t index = 0; index < fitting.size(); ++index) {
        fuzz::Check(reread[index] == fitting[index], "a line that fits reads back unchanged");
    }
    return 0;
}
