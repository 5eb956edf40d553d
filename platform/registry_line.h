#pragma once

// One line of the registry's text file (format in registry.h): reading a
// line never trusts it, and writing then reading a line gives back exactly
// what was written.

#include <string>
#include <string_view>

#include "platform/registry_file.h"

namespace platform {

// "[HKEY_CURRENT_USER\<keyPath>]". False (and `isKey` false) when the line
// is not a section line; `isKey` false too for a section of another root or
// with a key path that is not valid.
bool ParseSectionLine(std::string_view line, bool& isKey, std::string& keyPath);
std::string FormatSectionLine(std::string_view keyPath);

// A complete value line; false for anything else.
bool ParseValueLine(std::string_view line, std::string& name, RegistryValue& value);
std::string FormatValueLine(std::string_view name, const RegistryValue& value);

}  // namespace platform
