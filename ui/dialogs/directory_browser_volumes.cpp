#include "ui/dialogs/directory_browser_volumes.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr const char* kMountTablePath = "/proc/self/mounts";
constexpr size_t kOctalEscapeLength = 4;  // a backslash and three octal digits

bool IsOctalDigit(char character) { return character >= '0' && character <= '7'; }

// A field of the mount table with its octal escapes turned back into bytes.
std::string Unescaped(const std::string& field) {
    std::string text;
    for (size_t index = 0; index < field.size(); ++index) {
        const bool escape = field[index] == '\\' && index + kOctalEscapeLength <= field.size() &&
                            IsOctalDigit(field[index + 1]) && IsOctalDigit(field[index + 2]) &&
                            IsOctalDigit(field[index + 3]);
        if (!escape) {
            text.push_back(field[index]);
            continue;
        }
        text.push_back(static_cast<char>((field[index + 1] - '0') * 64 + (field[index + 2] - '0') * 8 +
                                         (field[index + 3] - '0')));
        index += kOctalEscapeLength - 1;
    }
    return text;
}

// The kernel's own file systems name no source ("proc", "tmpfs", "cgroup2");
// a device is a path ("/dev/sdb1") and a network share holds a ':' or a '/'
// ("server:/music", "//server/share").
bool IsStorageSource(const std::string& source) { return source.find_first_of("/:") != std::string::npos; }

}  // namespace

MountedVolumes MountedVolumes::FromSystem() {
    std::ifstream file(kMountTablePath);
    const std::string table((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return MountedVolumes(table);
}

MountedVolumes::MountedVolumes(std::string_view mountTable) {
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string mountPoint;
        if (fields >> source >> mountPoint && IsStorageSource(source)) mountPoints_.insert(Unescaped(mountPoint));
    }
}

bool MountedVolumes::Contains(const std::string& directory) const {
    return mountPoints_.count(directory) != 0;
}
