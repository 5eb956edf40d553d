#include "playlist/tag_cache_file.h"

namespace {

constexpr std::string_view kMagic = "TUNELARK TAGS 2\n";

void AppendNumber(std::string& out, uint64_t value, int bytes) {
    for (int index = 0; index < bytes; ++index) out += static_cast<char>((value >> (8 * index)) & 0xFF);
}

void AppendText(std::string& out, const std::string& text) {
    AppendNumber(out, text.size(), 4);
    out += text;
}

// Reads fields from the front of the bytes; once a read fails every later
// read fails too, so a parse checks once at the end of an entry.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool Failed() const { return failed_; }
    bool AtEnd() const { return bytes_.empty(); }

    uint64_t Number(int bytes) {
        if (failed_ || bytes_.size() < static_cast<size_t>(bytes)) return Fail();
        uint64_t value = 0;
        for (int index = 0; index < bytes; ++index) {
            value |= uint64_t{static_cast<uint8_t>(bytes_[static_cast<size_t>(index)])} << (8 * index);
        }
        bytes_.remove_prefix(static_cast<size_t>(bytes));
        return value;
    }

    std::string Text(size_t limit) {
        const uint64_t length = Number(4);
        if (failed_ || length > limit || length > bytes_.size()) {
            Fail();
            return {};
        }
        std::string text(bytes_.substr(0, length));
        bytes_.remove_prefix(length);
        return text;
    }

private:
    uint64_t Fail() {
        failed_ = true;
        return 0;
    }

    std::string_view bytes_;
    bool failed_ = false;
};

int32_t Signed32(uint64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

std::string FormatTagCache(const std::vector<TagCacheEntry>& entries) {
    std::string out(kMagic);
    for (const TagCacheEntry& entry : entries) {
        AppendText(out, entry.path);
        AppendNumber(out, entry.stamp.size, 8);
        AppendNumber(out, static_cast<uint64_t>(entry.stamp.modifiedNs), 8);
        AppendNumber(out, entry.tagged ? 1 : 0, 1);
        const PlayerTag& tag = entry.tag;
        for (const std::string* text : {&tag.title, &tag.artist, &tag.album, &tag.comment, &tag.genreText}) {
            AppendText(out, *text);
        }
        for (const int32_t number : {tag.year, tag.track, tag.genre}) {
            AppendNumber(out, static_cast<uint32_t>(number), 4);
        }
        AppendNumber(out, static_cast<uint64_t>(entry.lengthMs), 8);
    }
    return out;
}

std::optional<std::vector<TagCacheEntry>> ParseTagCache(std::string_view bytes) {
    if (bytes.size() > kTagCacheMaxFileBytes || !bytes.starts_with(kMagic)) return std::nullopt;
    Cursor cursor(bytes.substr(kMagic.size()));
    std::vector<TagCacheEntry> entries;
    while (!cursor.AtEnd()) {
        if (entries.size() == kTagCacheMaxEntries) return std::nullopt;
        TagCacheEntry entry;
        entry.path = cursor.Text(kTagCacheMaxPathBytes);
        entry.stamp.size = cursor.Number(8);
        entry.stamp.modifiedNs = static_cast<int64_t>(cursor.Number(8));
        const uint64_t tagged = cursor.Number(1);
        PlayerTag& tag = entry.tag;
        for (std::string* text : {&tag.title, &tag.artist, &tag.album, &tag.comment, &tag.genreText}) {
            *text = cursor.Text(kTagCacheMaxTextBytes);
        }
        for (int32_t* number : {&tag.year, &tag.track, &tag.genre}) *number = Signed32(cursor.Number(4));
        entry.lengthMs = static_cast<int64_t>(cursor.Number(8));
        if (cursor.Failed() || tagged > 1 || entry.path.empty() || entry.lengthMs < kLengthUnreadable) {
            return std::nullopt;
        }
        entry.tagged = tagged == 1;
        entries.push_back(std::move(entry));
    }
    return entries;
}
