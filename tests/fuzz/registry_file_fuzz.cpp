// The settings store's text file, as a damaged or hand-edited file may be:
// whatever it holds, reading and writing it once gives a file that reads and
// writes back unchanged, with every key's values still there; and a value of
// any text, set in it, reads back exactly.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/registry_file.h"
#include "platform/registry_line.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace platform;

constexpr std::string_view kProbeKey = "Software\\Fuzz\\Probe";

bool SameValue(const RegistryValue& left, const RegistryValue& right) {
    return left.type == right.type && left.number == right.number && left.text == right.text;
}

// Every value of every key of `first` (found through the section lines of
// its file) is in `second` unchanged.
void CheckValuesKept(const RegistryDocument& first, const std::string& written, const RegistryDocument& second) {
    for (size_t start = 0; start < written.size();) {
        const size_t end = std::min(written.find('\n', start), written.size());
        std::string_view line = std::string_view(written).substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        bool isKey = false;
        std::string keyPath;
        if (!ParseSectionLine(line, isKey, keyPath) || !isKey) continue;
        const RegistrySection* before = first.FindKey(keyPath);
        const RegistrySection* after = second.FindKey(keyPath);
        fuzz::Check(before != nullptr && after != nullptr, "a key of the file is found before and after writing");
        for (const RegistryLine& value : before->lines) {
            if (!value.isValue) continue;
            const RegistryValue* kept = FindValue(*after, value.name);
            fuzz::Check(kept != nullptr && SameValue(*kept, value.value), "a value is kept through writing");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const RegistryDocument first = RegistryDocument::Parse(content);
    const std::string written = first.Serialize();
    const RegistryDocument second = RegistryDocument::Parse(written);
    fuzz::Check(second.Serialize() == written, "a file written once reads and writes back unchanged");
    CheckValuesKept(first, written, second);

    // The input as a string and its first bytes as a number, set in the file.
    RegistryDocument edited = RegistryDocument::Parse(content);
    RegistryValue text{REG_SZ, 0, std::string(content)};
    RegistryValue number{REG_DWORD, 0, {}};
    std::memcpy(&number.number, data, std::min(size, sizeof number.number));
    RegistrySection& section = edited.AddKey(kProbeKey);
    SetSectionValue(section, "Text", text);
    SetSectionValue(section, "Number", number);
    const RegistryDocument reread = RegistryDocument::Parse(edited.Serialize());
    const RegistrySection* found = reread.FindKey(kProbeKey);
    fuzz::Check(found != nullptr, "a key set in the file is read back");
    const RegistryValue* readText = FindValue(*found, "Text");
    const RegistryValue* readNumber = FindValue(*found, "Number");
    fuzz::Check(readText != nullptr && SameValue(*readText, text), "a text value reads back exactly");
    fuzz::Check(readNumber != nullptr && SameValue(*readNumber, number), "a number value reads back exactly");
    return 0;
}
