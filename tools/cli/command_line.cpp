#include "tools/cli/command_line.h"

#include <cerrno>
#include <cstdlib>

std::optional<int32_t> ParseInteger(const std::string& text, int32_t minimum, int32_t maximum) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<std::vector<int32_t>> ParseIntegerList(const std::string& text, size_t count) {
    std::vector<int32_t> values;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        const auto value = ParseInteger(text.substr(start, end - start), INT32_MIN, INT32_MAX);
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() != count) return std::nullopt;
    return values;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
