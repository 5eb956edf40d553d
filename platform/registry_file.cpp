#include "platform/registry_file.h"

#include <algorithm>

#include "platform/path_text.h"
#include "platform/registry_line.h"

namespace platform {
namespace {

std::string_view WithoutCarriageReturn(std::string_view line) {
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

RegistryLine KeptLine(std::string_view text) {
    RegistryLine line;
    line.keptText = text;
    return line;
}

RegistryLine ValueLine(std::string_view name, const RegistryValue& value) {
    RegistryLine line;
    line.isValue = true;
    line.name = name;
    line.value = value;
    return line;
}

bool EndsBlank(const std::vector<RegistryLine>& lines) {
    return lines.empty() || (!lines.back().isValue && WithoutCarriageReturn(lines.back().keptText).empty());
}

// Lower-case value name to its line, for each section being read.
using ValueIndex = std::unordered_map<std::string, size_t>;

// Adds one line read below `section`, in file order. A value repeated within
// a key replaces the earlier one in its place.
void AddReadLine(RegistrySection& section, ValueIndex& values, std::string_view text) {
    std::string name;
    RegistryValue value;
    if (!section.isKey || !ParseValueLine(WithoutCarriageReturn(text), name, value)) {
        section.lines.push_back(KeptLine(text));
        return;
    }
    const auto [found, added] = values.try_emplace(FoldCase(name), section.lines.size());
    if (added) {
        section.lines.push_back(ValueLine(name, value));
    } else {
        section.lines[found->second].value = value;
    }
}

}  // namespace

bool IsValidKeyPath(std::string_view keyPath) {
    if (keyPath.empty() || keyPath.front() == '\\' || keyPath.back() == '\\') return false;
    if (keyPath.find("\\\\") != std::string_view::npos) return false;
    return std::ranges::none_of(keyPath, [](char character) {
        const auto byte = static_cast<unsigned char>(character);
        return byte < 0x20 || byte == 0x7F;
    });
}

RegistryDocument RegistryDocument::Parse(std::string_view content) {
    RegistryDocument document;
    std::vector<ValueIndex> valueIndexes;  // parallel to sections_
    size_t current = 0;
    bool inSection = false;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        const std::string_view text = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);

        bool isKey = false;
        std::string keyPath;
        if (!ParseSectionLine(WithoutCarriageReturn(text), isKey, keyPath)) {
            if (inSection) {
                AddReadLine(document.sections_[current], valueIndexes[current], text);
            } else {
                document.leadingLines_.emplace_back(text);
            }
            continue;
        }
        inSection = true;
        // A key's second section continues its first.
        const auto known = isKey ? document.keyIndex_.find(FoldCase(keyPath)) : document.keyIndex_.end();
        if (known != document.keyIndex_.end()) {
            current = known->second;
            continue;
        }
        current = document.sections_.size();
        if (isKey) document.keyIndex_.emplace(FoldCase(keyPath), current);
        document.sections_.push_back(RegistrySection{std::string(text), isKey, keyPath, {}});
        valueIndexes.emplace_back();
    }
    return document;
}

std::string RegistryDocument::Serialize() const {
    std::string content;
    for (const std::string& line : leadingLines_) content.append(line).push_back('\n');
    for (const RegistrySection& section : sections_) {
        content.append(section.header).push_back('\n');
        for (const RegistryLine& line : section.lines) {
            content.append(line.isValue ? FormatValueLine(line.name, line.value) : line.keptText).push_back('\n');
        }
    }
    return content;
}

bool RegistryDocument::KeyExists(std::string_view keyPath) const {
    return std::ranges::any_of(sections_, [keyPath](const RegistrySection& section) {
        const std::string_view path = section.keyPath;
        if (!section.isKey || path.size() < keyPath.size() ||
            !EqualsIgnoringCase(path.substr(0, keyPath.size()), keyPath)) {
            return false;
        }
        return path.size() == keyPath.size() || path[keyPath.size()] == '\\';
    });
}

const RegistrySection* RegistryDocument::FindKey(std::string_view keyPath) const {
    const auto found = keyIndex_.find(FoldCase(keyPath));
    return found == keyIndex_.end() ? nullptr : &sections_[found->second];
}

RegistrySection& RegistryDocument::AddKey(std::string_view keyPath) {
    const auto [found, added] = keyIndex_.try_emplace(FoldCase(keyPath), sections_.size());
    if (!added) return sections_[found->second];
    // A blank line before a new section, as in a .reg file.
    if (!sections_.empty() && !EndsBlank(sections_.back().lines)) {
        sections_.back().lines.push_back(KeptLine(""));
    } else if (sections_.empty() && !leadingLines_.empty() && !leadingLines_.back().empty()) {
        leadingLines_.emplace_back();
    }
    sections_.push_back(RegistrySection{FormatSectionLine(keyPath), true, std::string(keyPath), {}});
    return sections_.back();
}

const RegistryValue* FindValue(const RegistrySection& section, std::string_view name) {
    const auto found = std::ranges::find_if(section.lines, [name](const RegistryLine& line) {
        return line.isValue && EqualsIgnoringCase(line.name, name);
    });
    return found == section.lines.end() ? nullptr : &found->value;
}

void SetSectionValue(RegistrySection& section, std::string_view name, const RegistryValue& value) {
    auto afterLastValue = section.lines.begin();
    for (auto line = section.lines.begin(); line != section.lines.end(); ++line) {
        if (!line->isValue) continue;
        if (EqualsIgnoringCase(line->name, name)) {
            line->value = value;
            return;
        }
        afterLastValue = line + 1;
    }
    section.lines.insert(afterLastValue, ValueLine(name, value));
}

}  // namespace platform
