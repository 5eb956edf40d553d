#pragma once

// The registry's text file in memory: parsed from and written back to the
// line format described in registry.h, keeping every line it does not
// understand where it stood.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/registry.h"

namespace platform {

struct RegistryValue {
    DWORD type = REG_NONE;
    DWORD number = 0;   // REG_DWORD
    std::string text;   // REG_SZ, UTF-8
};

// One line below a section line: a value, or a line kept as it stood.
struct RegistryLine {
    bool isValue = false;
    std::string name;
    RegistryValue value;
    std::string keptText;
};

struct RegistrySection {
    std::string header;   // the section line as it stood
    bool isKey = false;   // the line names a key under HKEY_CURRENT_USER
    std::string keyPath;  // below HKEY_CURRENT_USER, without the root
    std::vector<RegistryLine> lines;
};

class RegistryDocument {
public:
    // Never fails: whatever cannot be understood is kept as text.
    static RegistryDocument Parse(std::string_view content);
    std::string Serialize() const;

    // True if the key was written or a key below it was.
    bool KeyExists(std::string_view keyPath) const;
    // The key's own section, or null.
    const RegistrySection* FindKey(std::string_view keyPath) const;
    // The key's own section, appended if it has none.
    RegistrySection& AddKey(std::string_view keyPath);

private:
    std::vector<std::string> leadingLines_;  // before the first section line
    std::vector<RegistrySection> sections_;
    // Lower-case key path to its index in sections_, so that reading a large
    // damaged file stays linear.
    std::unordered_map<std::string, size_t> keyIndex_;
};

// The value `name` of `section`, or null.
const RegistryValue* FindValue(const RegistrySection& section, std::string_view name);
// Replaces the value `name`, or adds it after the section's last value.
void SetSectionValue(RegistrySection& section, std::string_view name, const RegistryValue& value);

// A key path below a root: names joined by backslashes, none of them empty,
// with no control characters (they could not stand on a section line).
bool IsValidKeyPath(std::string_view keyPath);

}  // namespace platform
