#include "platform/path_text.h"

namespace platform {

std::string_view FileNamePart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string DirectoryPart(std::string_view path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

char FoldCharacter(char character) {
    return (character >= 'A' && character <= 'Z') ? static_cast<char>(character - 'A' + 'a') : character;
}

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& character : folded) character = FoldCharacter(character);
    return folded;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (FoldCharacter(tail[i]) != FoldCharacter(suffix[i])) return false;
    }
    return true;
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() && EndsWithIgnoringCase(left, right);
}

namespace {

bool IsDigit(char character) { return character >= '0' && character <= '9'; }

// The run of digits at `index` with its leading zeros skipped; `index` moves past the run.
std::string_view DigitRun(std::string_view text, size_t& index) {
    const size_t start = index;
    while (index < text.size() && IsDigit(text[index])) ++index;
    std::string_view run = text.substr(start, index - start);
    while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
    return run;
}

}  // namespace

bool NaturalLess(std::string_view left, std::string_view right) {
    size_t i = 0;
    size_t j = 0;
    while (i < left.size() && j < right.size()) {
        if (IsDigit(left[i]) && IsDigit(right[j])) {
            const std::string_view a = DigitRun(left, i);
            const std::string_view b = DigitRun(right, j);
            // The longer run without leading zeros is the larger value.
            if (a.size() != b.size()) return a.size() < b.size();
            if (a != b) return a < b;
            continue;
        }
        const char a = FoldCharacter(left[i++]);
        const char b = FoldCharacter(right[j++]);
        if (a != b) return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
    }
    if (i < left.size() || j < right.size()) return j < right.size();
    return left < right;
}

std::string WithLowerCaseScheme(std::string_view location) {
    const size_t colon = location.find(':');
    if (colon == std::string_view::npos) return std::string(location);
    return FoldCase(location.substr(0, colon)) + std::string(location.substr(colon));
}

std::string_view NetworkSchemePrefix(std::string_view location) {
    for (const std::string_view prefix : {kHttpPrefix, kHttpsPrefix}) {
        if (location.size() >= prefix.size() && EqualsIgnoringCase(location.substr(0, prefix.size()), prefix)) {
            return prefix;
        }
    }
    return {};
}

bool IsNetworkLocation(std::string_view location) {
    const std::string_view prefix = NetworkSchemePrefix(location);
    return !prefix.empty() && location.size() > prefix.size();
}

}  // namespace platform
