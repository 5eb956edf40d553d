#include "platform/ui/file_listing.h"

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/path_text.h"
#include "platform/utf8.h"

namespace platform::ui {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr std::string_view kEveryName = "*.*";
constexpr std::string_view kPatternSpaces = " \t";

// Bytes compare unsigned, so names that are not ASCII sort after those that are.
unsigned char FoldedByte(char character) { return static_cast<unsigned char>(FoldCharacter(character)); }

// Wildcard matching that remembers only the last '*': when a later part
// fails, that star swallows one more character and matching resumes.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == kEveryName) return true;
    size_t nameIndex = 0;
    size_t patternIndex = 0;
    size_t starIndex = std::string_view::npos;
    size_t resumeIndex = 0;
    while (nameIndex < name.size()) {
        if (patternIndex < pattern.size() && pattern[patternIndex] == '*') {
            starIndex = patternIndex++;
            resumeIndex = nameIndex;
        } else if (patternIndex < pattern.size() &&
                   (pattern[patternIndex] == '?' || FoldedByte(pattern[patternIndex]) == FoldedByte(name[nameIndex]))) {
            ++patternIndex;
            ++nameIndex;
        } else if (starIndex != std::string_view::npos) {
            patternIndex = starIndex + 1;
            nameIndex = ++resumeIndex;
        } else {
            return false;
        }
    }
    while (patternIndex < pattern.size() && pattern[patternIndex] == '*') ++patternIndex;
    return patternIndex == pattern.size();
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kPatternSpaces);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kPatternSpaces) - first + 1);
}

bool ByNameIgnoringCase(const DirectoryEntry& first, const DirectoryEntry& second) {
    const auto folded = [](char left, char right) { return FoldedByte(left) < FoldedByte(right); };
    const std::string& a = first.name;
    const std::string& b = second.name;
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char left, char right) {
        return static_cast<unsigned char>(left) < static_cast<unsigned char>(right);
    });  // names differing only in case keep one order
}

bool CanList(const std::string& path) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return false;
    closedir(directory);
    return true;
}

// Without "." and ".." steps or a trailing '/'.
std::string Normalised(const std::string& path) {
    return WithoutTrailingSeparator(std::filesystem::path(path).lexically_normal().string());
}

}  // namespace

bool MatchesFilePatterns(std::string_view name, std::string_view patterns) {
    while (true) {
        const size_t separator = patterns.find(';');
        const std::string_view pattern = Trimmed(patterns.substr(0, separator));
        if (!pattern.empty() && MatchesPattern(name, pattern)) return true;
        if (separator == std::string_view::npos) return false;
        patterns.remove_prefix(separator + 1);
    }
}

std::vector<DirectoryEntry> ListDirectory(const std::string& directory, std::string_view patterns) {
    namespace fs = std::filesystem;
    std::vector<DirectoryEntry> folders;
    std::vector<DirectoryEntry> files;
    std::error_code error;
    fs::directory_iterator entry(directory, error);
    // An error midway keeps what was read up to it.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code statusError;
        const fs::file_status status = entry->status(statusError);  // through symbolic links
        if (fs::is_directory(status)) {
            folders.push_back({std::move(name), true});
        } else if (fs::is_regular_file(status) && MatchesFilePatterns(name, patterns)) {
            files.push_back({std::move(name), false});
        }
    }
    std::sort(folders.begin(), folders.end(), ByNameIgnoringCase);
    std::sort(files.begin(), files.end(), ByNameIgnoringCase);
    folders.insert(folders.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
    return folders;
}

std::string ParentDirectory(const std::string& path) {
    const std::string trimmed = WithoutTrailingSeparator(path);
    const size_t separator = trimmed.rfind('/');
    if (separator == std::string::npos) return ".";
    return separator == 0 ? "/" : trimmed.substr(0, separator);
}

std::string ReadableDirectoryNear(const std::string& wanted) {
    std::string path = wanted;
    if (!path.empty() && path.front() != '/') {
        std::error_code error;
        path = (std::filesystem::current_path(error) / path).string();
    }
    if (!path.empty()) {
        path = Normalised(path);
        for (;;) {
            if (CanList(path)) return path;
            if (path == "/") break;
            path = ParentDirectory(path);
        }
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/' && CanList(home)) return Normalised(home);
    return "/";
}

std::string DisplayName(std::string_view name) {
    std::string shown;
    for (size_t index = 0; index < name.size();) {
        const size_t length = Utf8SequenceLength(name, index);
        if (length == 0) {
            AppendUtf8(shown, kReplacementCharacter);
            ++index;
        } else {
            shown.append(name.substr(index, length));
            index += length;
        }
    }
    return shown;
}

}  // namespace platform::ui
