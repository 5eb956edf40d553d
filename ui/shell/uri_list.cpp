#include "ui/shell/uri_list.h"

#include "platform/path_text.h"

namespace {

constexpr std::string_view kFileScheme = "file:";
constexpr std::string_view kLocalHost = "localhost";
constexpr std::string_view kBlanks = " \t\r";

std::optional<int> HexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return std::nullopt;
}

std::optional<std::string> DecodeEscapes(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const std::optional<int> high = HexValue(text[i + 1]);
        const std::optional<int> low = HexValue(text[i + 2]);
        if (!high || !low || (*high == 0 && *low == 0)) return std::nullopt;
        decoded += static_cast<char>(*high * 16 + *low);
        i += 2;
    }
    return decoded;
}

std::string_view Trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

bool HasFileScheme(std::string_view text) {
    return text.size() >= kFileScheme.size() && platform::EqualsIgnoringCase(text.substr(0, kFileScheme.size()), kFileScheme);
}

}  // namespace

std::optional<std::string> PathFromFileUri(std::string_view uri) {
    if (!HasFileScheme(uri) || uri.find('\0') != std::string_view::npos) return std::nullopt;
    std::string_view rest = uri.substr(kFileScheme.size());
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return std::nullopt;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !platform::EqualsIgnoringCase(host, kLocalHost)) return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/')) return std::nullopt;
    return DecodeEscapes(rest);
}

std::vector<std::string> ItemsFromDroppedText(std::string_view text) {
    std::vector<std::string> items;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#' || line.find('\0') != std::string_view::npos) continue;
        if (HasFileScheme(line)) {
            if (std::optional<std::string> path = PathFromFileUri(line)) items.push_back(std::move(*path));
        } else if (platform::IsNetworkLocation(line) || line.front() == '/') {
            items.emplace_back(line);
        }
    }
    return items;
}
