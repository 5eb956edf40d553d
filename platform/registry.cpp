#include "platform/registry.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/app_files.h"
#include "platform/registry_file.h"
#include "platform/utf8.h"

namespace platform {

struct Registry::OpenedKey {
    std::string keyPath;
    REGSAM access = 0;
    // The key's lines as read when it was opened, with this handle's writes.
    RegistrySection snapshot;
    // This handle's writes in order, put into the file when it is closed.
    std::vector<std::pair<std::string, RegistryValue>> changes;
    // A new key is stored even when no value was set.
    bool mustStore = false;
};

namespace {

constexpr size_t kDwordBytes = sizeof(DWORD);
constexpr size_t kUtf16UnitBytes = sizeof(char16_t);
constexpr unsigned kBitsPerByte = 8;
// A store of every setting the program has is a few kilobytes.
constexpr size_t kLargestStore = 1 << 20;

// The whole document; false (and nothing read) when the file exists but
// cannot be read or is too large, so that it is never replaced by a store
// that lacks it.
bool ReadDocument(const std::string& path, RegistryDocument& document) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return true;
    if (status.type() != std::filesystem::file_type::regular) return false;
    std::string content;
    const FileRead read = ReadWholeFile(path, kLargestStore, content);
    if (read == FileRead::TooLarge) {
        static std::once_flag reported;
        std::call_once(reported, [&path] {
            ReportFileTooLarge(path, kLargestStore, "the settings keep their defaults and the file is left as it is");
        });
    }
    if (read != FileRead::Done) return false;
    document = RegistryDocument::Parse(content);
    return true;
}

// Sizes beyond what a DWORD counts are reported as the largest one, which
// no buffer can hold.
DWORD ClampedSize(size_t bytes) {
    return static_cast<DWORD>(std::min<size_t>(bytes, std::numeric_limits<DWORD>::max()));
}

size_t DataSize(const RegistryValue& value) {
    return value.type == REG_SZ ? (Utf16Length(value.text) + 1) * kUtf16UnitBytes : kDwordBytes;
}

// The value's data as it would sit in a DWORD buffer: the number itself, or
// the little-endian bytes of a short UTF-16 text with its terminator.
DWORD DataAsDword(const RegistryValue& value) {
    if (value.type != REG_SZ) return value.number;
    DWORD data = 0;
    const std::u16string units = Utf8ToUtf16(value.text);
    for (size_t index = 0; index < units.size(); ++index) {
        data |= static_cast<DWORD>(units[index]) << (index * kUtf16UnitBytes * kBitsPerByte);
    }
    return data;
}

// The value's data read as text: a DWORD's bytes are two UTF-16 units, and
// the text ends at the first zero unit.
std::string DataAsText(const RegistryValue& value) {
    if (value.type == REG_SZ) return value.text;
    std::u16string units;
    units += static_cast<char16_t>(value.number & 0xFFFF);
    units += static_cast<char16_t>(value.number >> 16);
    return Utf16ToUtf8(units.substr(0, units.find(u'\0')));
}

}  // namespace

Registry::Registry() {
    const std::string directory = ApplicationDirectory();
    if (!directory.empty()) path_ = (std::filesystem::path(directory) / kRegistryFileName).string();
}

Registry::Registry(std::string path) : path_(std::move(path)) {}

Registry::~Registry() {
    while (!openKeys_.empty()) CloseKey(HKEY{openKeys_.begin()->first});
}

Registry::OpenedKey* Registry::Find(HKEY key) {
    const auto found = openKeys_.find(static_cast<std::uint32_t>(key));
    return found == openKeys_.end() ? nullptr : found->second.get();
}

LONG Registry::OpenKey(HKEY parent, std::string_view subKey, REGSAM access, HKEY* result) {
    return Open(parent, subKey, access, false, result, nullptr);
}

LONG Registry::CreateKey(HKEY parent, std::string_view subKey, REGSAM access, HKEY* result, DWORD* disposition) {
    return Open(parent, subKey, access, true, result, disposition);
}

LONG Registry::Open(HKEY parent, std::string_view subKey, REGSAM access, bool create, HKEY* result,
                    DWORD* disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    std::string keyPath;
    if (parent != HKEY_CURRENT_USER) {
        const OpenedKey* parentKey = Find(parent);
        if (parentKey == nullptr) return ERROR_INVALID_HANDLE;
        keyPath = parentKey->keyPath;
        if (!subKey.empty()) keyPath += '\\';
    } else if (subKey.empty()) {
        return ERROR_INVALID_PARAMETER;  // values directly under the root are not kept
    }
    if (!subKey.empty() && !IsValidKeyPath(subKey)) return ERROR_INVALID_PARAMETER;
    keyPath += subKey;

    RegistryDocument document;
    const bool readable = !path_.empty() && ReadDocument(path_, document);
    const bool exists = readable && document.KeyExists(keyPath);
    if (!exists && !create) return ERROR_FILE_NOT_FOUND;

    auto opened = std::make_unique<OpenedKey>();
    opened->keyPath = keyPath;
    opened->access = access;
    if (const RegistrySection* section = document.FindKey(keyPath)) opened->snapshot = *section;
    opened->mustStore = !exists;
    if (disposition != nullptr) *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;

    // Handle numbers count up from 1, far below the predefined roots.
    const std::uint32_t handle = nextHandle_++;
    openKeys_.emplace(handle, std::move(opened));
    *result = HKEY{handle};
    return ERROR_SUCCESS;
}

LONG Registry::QueryValue(HKEY key, std::string_view name, DWORD* type, DWORD* data, DWORD* size) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) return ERROR_INVALID_HANDLE;
    if ((opened->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    const RegistryValue* value = FindValue(opened->snapshot, name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    const DWORD required = ClampedSize(DataSize(*value));
    if (data == nullptr) {
        if (size != nullptr) *size = required;
        return ERROR_SUCCESS;
    }
    const DWORD capacity = std::min<DWORD>(*size, kDwordBytes);
    *size = required;
    if (required > capacity) return ERROR_MORE_DATA;
    *data = DataAsDword(*value);
    return ERROR_SUCCESS;
}

LONG Registry::QueryValue(HKEY key, std::string_view name, DWORD* type, std::string* text, DWORD* size) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) return ERROR_INVALID_HANDLE;
    if ((opened->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    if (text != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    const RegistryValue* value = FindValue(opened->snapshot, name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    const DWORD required = ClampedSize(DataSize(*value));
    if (text == nullptr) {
        if (size != nullptr) *size = required;
        return ERROR_SUCCESS;
    }
    const DWORD capacity = *size;
    *size = required;
    if (required > capacity) return ERROR_MORE_DATA;
    *text = DataAsText(*value);
    return ERROR_SUCCESS;
}

LONG Registry::SetValue(HKEY key, std::string_view name, DWORD value) {
    return Set(key, name, RegistryValue{REG_DWORD, value, {}});
}

LONG Registry::SetValue(HKEY key, std::string_view name, std::string_view text) {
    return Set(key, name, RegistryValue{REG_SZ, 0, std::string(text)});
}

LONG Registry::Set(HKEY key, std::string_view name, const RegistryValue& value) {
    OpenedKey* opened = Find(key);
    if (opened == nullptr) return ERROR_INVALID_HANDLE;
    if ((opened->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    SetSectionValue(opened->snapshot, name, value);
    opened->changes.emplace_back(name, value);
    opened->mustStore = true;
    return ERROR_SUCCESS;
}

LONG Registry::CloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    const auto found = openKeys_.find(static_cast<std::uint32_t>(key));
    if (found == openKeys_.end()) return ERROR_INVALID_HANDLE;
    const std::unique_ptr<OpenedKey> opened = std::move(found->second);
    openKeys_.erase(found);
    return opened->mustStore ? Store(*opened) : ERROR_SUCCESS;
}

LONG Registry::Store(const OpenedKey& opened) {
    // Read again so that what others stored since this key was opened stays.
    RegistryDocument document;
    if (path_.empty() || !ReadDocument(path_, document)) return ERROR_REGISTRY_IO_FAILED;
    RegistrySection& section = document.AddKey(opened.keyPath);
    for (const auto& [name, value] : opened.changes) SetSectionValue(section, name, value);
    return WriteFileAtomically(path_, document.Serialize()) ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

}  // namespace platform
