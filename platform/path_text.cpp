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
