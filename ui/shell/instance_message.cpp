#include "ui/shell/instance_message.h"

#include <cctype>
#include <charconv>

namespace {

constexpr std::string_view kHeader = "tunelark-open 1\n";
constexpr std::string_view kReplace = "replace\n";
constexpr std::string_view kEnqueue = "enqueue\n";
// More digits than any count within the limits can have.
constexpr size_t kMaximumCountDigits = 7;

bool IsSchemeStart(std::string_view item) {
    const size_t colon = item.find("://");
    if (colon == 0 || colon == std::string_view::npos) return false;
    if (std::isalpha(static_cast<unsigned char>(item[0])) == 0) return false;
    for (const char c : item.substr(0, colon)) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// Reads "<count>\n" at the front of `rest` and moves past it.
std::optional<size_t> TakeCount(std::string_view& rest) {
    const size_t end = rest.find('\n');
    if (end == 0 || end == std::string_view::npos || end > kMaximumCountDigits) return std::nullopt;
    if (rest[0] == '0' && end > 1) return std::nullopt;
    size_t count = 0;
    const auto [stop, error] = std::from_chars(rest.data(), rest.data() + end, count);
    if (error != std::errc() || stop != rest.data() + end) return std::nullopt;
    rest.remove_prefix(end + 1);
    return count;
}

bool TakeExactly(std::string_view& rest, std::string_view expected) {
    if (!rest.starts_with(expected)) return false;
    rest.remove_prefix(expected.size());
    return true;
}

std::string CountLine(size_t count) { return std::to_string(count) + "\n"; }

}  // namespace

bool IsOpenableItem(std::string_view item) {
    if (item.empty() || item.size() > kMaximumOpenItemBytes) return false;
    if (item.find('\0') != std::string_view::npos) return false;
    return item.front() == '/' || IsSchemeStart(item);
}

std::string EncodeOpenRequest(const OpenRequest& request, size_t* itemsLeftOut) {
    std::string body;
    size_t encoded = 0;
    size_t leftOut = 0;
    const std::string_view mode = request.enqueue ? kEnqueue : kReplace;
    for (const std::string& item : request.items) {
        const std::string piece = CountLine(item.size()) + item + "\n";
        const size_t withPiece = kHeader.size() + mode.size() + CountLine(encoded + 1).size() + body.size() + piece.size();
        if (!IsOpenableItem(item) || withPiece > kMaximumOpenMessageBytes) {
            ++leftOut;
            continue;
        }
        body += piece;
        ++encoded;
    }
    if (itemsLeftOut != nullptr) *itemsLeftOut = leftOut;
    std::string message(kHeader);
    message += mode;
    message += CountLine(encoded);
    return message + body;
}

std::optional<OpenRequest> DecodeOpenRequest(std::string_view message) {
    if (message.size() > kMaximumOpenMessageBytes) return std::nullopt;
    std::string_view rest = message;
    if (!TakeExactly(rest, kHeader)) return std::nullopt;
    OpenRequest request;
    if (TakeExactly(rest, kEnqueue)) {
        request.enqueue = true;
    } else if (!TakeExactly(rest, kReplace)) {
        return std::nullopt;
    }
    const std::optional<size_t> count = TakeCount(rest);
    if (!count.has_value()) return std::nullopt;
    for (size_t i = 0; i < *count; ++i) {
        const std::optional<size_t> length = TakeCount(rest);
        // The item and its '\n' must both be there.
        if (!length.has_value() || *length > kMaximumOpenItemBytes || rest.size() <= *length) return std::nullopt;
        const std::string_view item = rest.substr(0, *length);
        if (rest[*length] != '\n' || !IsOpenableItem(item)) return std::nullopt;
        request.items.emplace_back(item);
        rest.remove_prefix(*length + 1);
    }
    if (!rest.empty()) return std::nullopt;
    return request;
}
