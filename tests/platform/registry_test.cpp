#include "platform/registry.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "platform/app_files.h"
#include "tests/support/fixtures.h"

namespace {

using namespace platform;

constexpr std::string_view kKeyPath = "Software\\Marevista\\Tunelark";
constexpr DWORD kTextBuffer = 520;
constexpr DWORD kLargeBuffer = 1u << 24;

// A directory of its own, with the store's path in it (the file itself is
// not created).
class StoreDirectory {
public:
    StoreDirectory() : placeholder_({}, "placeholder"), path_(placeholder_.Directory() + "/registry.txt") {}
    const std::string& Path() const { return path_; }
    const std::string& Directory() const { return placeholder_.Directory(); }

    std::string Content() const {
        std::string content;
        ReadWholeFile(path_, 1 << 20, content);
        return content;
    }
    void Write(std::string_view content) const { std::ofstream(path_, std::ios::binary) << content; }

private:
    test::TemporaryFile placeholder_;
    std::string path_;
};

std::optional<DWORD> QueryNumber(Registry& registry, HKEY key, std::string_view name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    if (registry.QueryValue(key, name, nullptr, &data, &size) != ERROR_SUCCESS) return std::nullopt;
    return data;
}

std::optional<std::string> QueryText(Registry& registry, HKEY key, std::string_view name) {
    std::string text;
    DWORD size = kTextBuffer;
    if (registry.QueryValue(key, name, nullptr, &text, &size) != ERROR_SUCCESS) return std::nullopt;
    return text;
}

// Creates the key in a fresh Registry on `path`, sets the text and closes it.
LONG StoreText(const std::string& path, std::string_view keyPath, std::string_view name, std::string_view text) {
    Registry registry(path);
    HKEY key{};
    if (const LONG result = registry.CreateKey(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, &key, nullptr)) {
        return result;
    }
    EXPECT_EQ(registry.SetValue(key, name, text), ERROR_SUCCESS);
    return registry.CloseKey(key);
}

std::optional<std::string> LoadText(const std::string& path, std::string_view keyPath, std::string_view name,
                                    DWORD buffer = kLargeBuffer) {
    Registry registry(path);
    HKEY key{};
    if (registry.OpenKey(HKEY_CURRENT_USER, keyPath, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    std::string text;
    const LONG result = registry.QueryValue(key, name, nullptr, &text, &buffer);
    registry.CloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return text;
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream stream(content);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST(Registry, OpeningAMissingKeyFails) {
    StoreDirectory store;
    Registry registry(store.Path());
    HKEY key{};
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(StoreText(store.Path(), "Software\\Other", "Name", "x"), ERROR_SUCCESS);
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);
    // A key exists when a key below it does, but only on whole names.
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, "Software", KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Oth", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, "SOFTWARE\\other", KEY_READ, &key), ERROR_SUCCESS)
        << "key names ignore case";
    EXPECT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
}

TEST(Registry, CreatedKeyIsStoredWhenClosedAndReadBack) {
    StoreDirectory store;
    {
        Registry registry(store.Path());
        HKEY key{};
        DWORD disposition = 0;
        ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, &disposition), ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        EXPECT_EQ(registry.SetValue(key, "Repeat", DWORD{0xFFFFFFFE}), ERROR_SUCCESS);
        EXPECT_EQ(registry.SetValue(key, "SkinDir", "/skins/metal"), ERROR_SUCCESS);
        EXPECT_EQ(QueryNumber(registry, key, "Repeat"), 0xFFFFFFFEu) << "a handle sees its own writes";
        EXPECT_FALSE(std::filesystem::exists(store.Path())) << "nothing is stored before the key is closed";
        EXPECT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
        EXPECT_EQ(registry.CloseKey(key), ERROR_INVALID_HANDLE);
    }
    Registry registry(store.Path());
    HKEY key{};
    DWORD disposition = 0;
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(registry.QueryValue(key, "Repeat", &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, 0xFFFFFFFEu);
    EXPECT_EQ(size, 4u);
    std::string text;
    size = kTextBuffer;
    ASSERT_EQ(registry.QueryValue(key, "skindir", &type, &text, &size), ERROR_SUCCESS) << "value names ignore case";
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(text, "/skins/metal");
    EXPECT_EQ(size, (12u + 1) * 2);
    EXPECT_EQ(registry.QueryValue(key, "Missing", &type, &data, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
}

TEST(Registry, AnEmptyNewKeyIsStoredAndAReadKeyIsNeverRewritten) {
    StoreDirectory store;
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.Content(), "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\n");

    // Upper-case digits and CRLF would both change if the file were rewritten.
    const std::string handWritten = "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\r\n\"A\"=dword:0000001F\r\n";
    store.Write(handWritten);
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(registry, key, "A"), 0x1Fu);
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.Content(), handWritten);
}

TEST(Registry, WritesTheDocumentedLineFormat) {
    StoreDirectory store;
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    registry.SetValue(key, "EqEnable", DWORD{0x1F});
    registry.SetValue(key, "Text", "a\"b\\c\nd\te\x01 \xC3\xA9");
    registry.SetValue(key, "Bad \xFF", "");
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.Content(),
              "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\n"
              "\"EqEnable\"=dword:0000001f\n"
              "\"Text\"=\"a\\\"b\\\\c\\nd\\te\\x01 \xC3\xA9\"\n"
              "\"Bad \\xff\"=\"\"\n");
}

TEST(Registry, HostileTextRoundTrips) {
    const std::vector<std::string> texts = {
        "",
        "  leading and trailing  ",
        "line one\nline two\r\nline three\n",
        "a=b==c",
        "\"quoted\" and \\\\server\\share\\",
        "\\x41 is not an escape here \\n",
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]",
        "\"Name\"=dword:00000001",
        "Grüße, 東京, emoji \xF0\x9F\x8E\xB5",
        std::string("nul\0inside", 10),
        "\x7F\x01\x1B tabs\t\t",
        "invalid utf-8 \xC0\xAF \xED\xA0\x80 \xFF\xFE",
        "\xE2\x82",  // a sequence cut short
    };
    for (const std::string& text : texts) {
        StoreDirectory store;
        // The text is used as a value name too: names obey the same rules.
        ASSERT_EQ(StoreText(store.Path(), kKeyPath, text, text), ERROR_SUCCESS);
        EXPECT_EQ(LoadText(store.Path(), kKeyPath, text), text) << "text: " << text;
        EXPECT_EQ(Lines(store.Content()).size(), 2u) << "one line per value: " << text;
    }
}

// Buffers measured as Windows would: a REG_SZ value takes (UTF-16 units + 1) x 2 bytes.
struct TextSizeCase {
    std::string text;
    DWORD buffer;
    LONG result;
    DWORD reportedSize;
};

std::string Repeated(std::string_view piece, size_t count) {
    std::string text;
    for (size_t index = 0; index < count; ++index) text += piece;
    return text;
}

TEST(Registry, TextLargerThanTheBufferGivesMoreData) {
    const std::string emoji = "\xF0\x9F\x8E\xB5";  // two UTF-16 units
    const std::vector<TextSizeCase> cases = {
        {"", 2, ERROR_SUCCESS, 2},
        {"", 1, ERROR_MORE_DATA, 2},
        {Repeated("a", 259), kTextBuffer, ERROR_SUCCESS, 520},
        {Repeated("a", 260), kTextBuffer, ERROR_MORE_DATA, 522},
        {Repeated("a", 300), kTextBuffer, ERROR_MORE_DATA, 602},
        {Repeated("é", 259), kTextBuffer, ERROR_SUCCESS, 520},  // two UTF-8 bytes, one unit
        {Repeated(emoji, 129) + "a", kTextBuffer, ERROR_SUCCESS, 520},
        {Repeated(emoji, 130), kTextBuffer, ERROR_MORE_DATA, 522},
        {"\xFF\xFE", 6, ERROR_SUCCESS, 6},  // each stray byte stands for one unit
    };
    for (const TextSizeCase& each : cases) {
        StoreDirectory store;
        ASSERT_EQ(StoreText(store.Path(), kKeyPath, "Value", each.text), ERROR_SUCCESS);
        Registry registry(store.Path());
        HKEY key{};
        ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_SUCCESS);
        std::string text = "untouched";
        DWORD size = each.buffer;
        EXPECT_EQ(registry.QueryValue(key, "Value", nullptr, &text, &size), each.result) << each.text.size();
        EXPECT_EQ(size, each.reportedSize) << each.text.size();
        EXPECT_EQ(text, each.result == ERROR_SUCCESS ? each.text : "untouched");
        size = 0;
        EXPECT_EQ(registry.QueryValue(key, "Value", nullptr, static_cast<std::string*>(nullptr), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, each.reportedSize) << "a query without a buffer reports the size";
    }
}

// The stored type is reported but not checked: data is delivered as the
// bytes Windows would put in the caller's buffer.
struct MismatchCase {
    const char* line;
    LONG numberResult;
    DWORD number;
    DWORD numberSize;
    std::optional<std::string> text;
    DWORD type;
};

TEST(Registry, TypeMismatchDeliversTheStoredBytes) {
    const std::vector<MismatchCase> cases = {
        {R"("V"="")", ERROR_SUCCESS, 0, 2, "", REG_SZ},
        {R"("V"="A")", ERROR_SUCCESS, 0x41, 4, "A", REG_SZ},
        {R"("V"="é")", ERROR_SUCCESS, 0xE9, 4, "é", REG_SZ},
        {R"("V"="AB")", ERROR_MORE_DATA, 0, 6, "AB", REG_SZ},
        {R"("V"=dword:00420041)", ERROR_SUCCESS, 0x00420041, 4, "AB", REG_DWORD},
        {R"("V"=dword:00000041)", ERROR_SUCCESS, 0x41, 4, "A", REG_DWORD},
        {R"("V"=dword:00410000)", ERROR_SUCCESS, 0x00410000, 4, "", REG_DWORD},
        {R"("V"=dword:0000d800)", ERROR_SUCCESS, 0xD800, 4, "\xEF\xBF\xBD", REG_DWORD},  // lone surrogate
    };
    for (const MismatchCase& each : cases) {
        StoreDirectory store;
        store.Write("[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\n" + std::string(each.line) + "\n");
        Registry registry(store.Path());
        HKEY key{};
        ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_SUCCESS);
        DWORD type = REG_NONE;
        DWORD data = 0xDEADBEEF;
        DWORD size = sizeof data;
        EXPECT_EQ(registry.QueryValue(key, "V", &type, &data, &size), each.numberResult) << each.line;
        EXPECT_EQ(type, each.type) << each.line;
        EXPECT_EQ(size, each.numberSize) << each.line;
        if (each.numberResult == ERROR_SUCCESS) {
            EXPECT_EQ(data, each.number) << each.line;
        }
        EXPECT_EQ(QueryText(registry, key, "V"), each.text) << each.line;
    }
}

TEST(Registry, NumberBufferRules) {
    StoreDirectory store;
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    registry.SetValue(key, "N", DWORD{7});
    DWORD data = 0;
    DWORD size = 2;
    EXPECT_EQ(registry.QueryValue(key, "N", nullptr, &data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data, 0u);
    size = 0;
    DWORD type = REG_NONE;
    EXPECT_EQ(registry.QueryValue(key, "N", &type, static_cast<DWORD*>(nullptr), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(registry.QueryValue(key, "N", nullptr, &data, nullptr), ERROR_INVALID_PARAMETER);
    size = 100;
    EXPECT_EQ(registry.QueryValue(key, "N", nullptr, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data, 7u);
    EXPECT_EQ(size, 4u);
    registry.CloseKey(key);
}

TEST(Registry, HandlesAccessAndNamesAreChecked) {
    StoreDirectory store;
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(registry.SetValue(key, "N", DWORD{1}), ERROR_ACCESS_DENIED);
    registry.CloseKey(key);
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(registry.SetValue(key, "N", DWORD{1}), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(registry, key, "N"), std::nullopt) << "querying needs KEY_QUERY_VALUE";
    registry.CloseKey(key);

    EXPECT_EQ(QueryNumber(registry, key, "N"), std::nullopt) << "a closed handle is invalid";
    EXPECT_EQ(registry.SetValue(key, "N", DWORD{1}), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.OpenKey(HKEY{12345}, "Sub", KEY_READ, &key), ERROR_INVALID_HANDLE);
    for (const char* badPath : {"", "\\Software", "Software\\", "Software\\\\Marevista", "Soft\nware"}) {
        EXPECT_EQ(registry.CreateKey(HKEY_CURRENT_USER, badPath, KEY_ALL_ACCESS, &key, nullptr),
                  ERROR_INVALID_PARAMETER)
            << badPath;
    }

    // Keys open below an open key, as on Windows.
    HKEY parent{};
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Marevista", KEY_READ, &parent), ERROR_SUCCESS);
    ASSERT_EQ(registry.OpenKey(parent, "Tunelark", KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(registry, key, "N"), 1u);
    registry.CloseKey(key);
    registry.CloseKey(parent);
}

TEST(Registry, RepeatedNamesKeepOneLineAndTheLaterValueWins) {
    StoreDirectory store;
    store.Write(
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\n\"A\"=dword:00000001\n\"a\"=dword:00000002\n"
        "[HKEY_CURRENT_USER\\Other]\n"
        "[hkey_current_user\\software\\marevista\\TUNELARK]\n\"A\"=dword:00000003\n");
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(registry, key, "A"), 3u);
    registry.SetValue(key, "a", DWORD{4});
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(store.Content(),
              "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]\n\"A\"=dword:00000004\n"
              "[HKEY_CURRENT_USER\\Other]\n");
}

TEST(Registry, UnknownLinesAndOtherKeysAreKept) {
    StoreDirectory store;
    const std::vector<std::string> original = {
        "; written by hand",
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Marevista\\Tunelark]",
        "\"Repeat\"=dword:00000002",
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark]",
        "\"Colours\"=hex:01,02,03",
        "\"Repeat\"=dword:00000001",
        "# a comment between values",
        "\"Future\"=qword:0000000000000001",
        "\"Cut\"=\"no closing quote",
        "\r",
        "[HKEY_CURRENT_USER\\Software\\Someone]",
        "\"Theirs\"=\"kept\"",
    };
    std::string content;
    for (const std::string& line : original) content += line + "\n";
    store.Write(content);

    // Another program's key is changed between our open and our close.
    Registry registry(store.Path());
    HKEY key{};
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(registry, key, "Repeat"), 1u);
    EXPECT_EQ(QueryNumber(registry, key, "Colours"), std::nullopt) << "other value types are not values";
    EXPECT_EQ(QueryText(registry, key, "Cut"), std::nullopt);
    ASSERT_EQ(StoreText(store.Path(), "Software\\Someone", "Later", "also kept"), ERROR_SUCCESS);
    registry.SetValue(key, "Repeat", DWORD{0});
    registry.SetValue(key, "New", "value");
    ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);

    std::vector<std::string> expected = original;
    expected[6] = "\"Repeat\"=dword:00000000";
    expected.insert(expected.begin() + 7, "\"New\"=\"value\"");
    expected.push_back("\"Later\"=\"also kept\"");
    EXPECT_EQ(Lines(store.Content()), expected);
    EXPECT_EQ(LoadText(store.Path(), "Software\\Someone", "Theirs"), "kept");
}

TEST(Registry, KeysClosedInAnyOrderKeepEachOthersValues) {
    StoreDirectory store;
    Registry first(store.Path());
    Registry second(store.Path());
    HKEY firstKey{};
    HKEY secondKey{};
    ASSERT_EQ(first.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &firstKey, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(second.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &secondKey, nullptr), ERROR_SUCCESS);
    first.SetValue(firstKey, "First", DWORD{1});
    second.SetValue(secondKey, "Second", DWORD{2});
    ASSERT_EQ(second.CloseKey(secondKey), ERROR_SUCCESS);
    ASSERT_EQ(first.CloseKey(firstKey), ERROR_SUCCESS);

    Registry reader(store.Path());
    HKEY key{};
    ASSERT_EQ(reader.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(QueryNumber(reader, key, "First"), 1u);
    EXPECT_EQ(QueryNumber(reader, key, "Second"), 2u);
    reader.CloseKey(key);
}

TEST(Registry, DestroyingTheRegistryStoresOpenKeys) {
    StoreDirectory store;
    {
        Registry registry(store.Path());
        HKEY key{};
        ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
        registry.SetValue(key, "Left", "open");
    }
    EXPECT_EQ(LoadText(store.Path(), kKeyPath, "Left"), "open");
}

std::string GarbageBytes(size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    for (size_t index = 0; index < length; ++index) bytes += static_cast<char>(byte(generator));
    return bytes;
}

TEST(Registry, DamagedFilesReadAsNoKeyAndAreKeptWhenWriting) {
    const std::vector<std::string> damaged = {
        "",
        "\n\n\n",
        GarbageBytes(4096, 1),
        GarbageBytes(65536, 2),
        std::string(1000, '\0'),
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tune",
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark",
        "[HKEY_CURRENT_USER\\Software\\\\Marevista\\Tunelark]\n\"A\"=dword:00000001\n",
        "[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelark\\]\n",
        "[HKEY_LOCAL_MACHINE\\Software\\Marevista\\Tunelark]\n\"A\"=dword:00000001\n",
        "\"A\"=dword:00000001\n[HKEY_CURRENT_USER\\Software\\Marevista\\Tunelar]\n",
        "[\xFF\xFE]\n\"\\x\"=\"\\",
    };
    for (const std::string& content : damaged) {
        StoreDirectory store;
        store.Write(content);
        Registry registry(store.Path());
        HKEY key{};
        EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << content.size();
        ASSERT_EQ(StoreText(store.Path(), kKeyPath, "Name", "value"), ERROR_SUCCESS);
        EXPECT_EQ(LoadText(store.Path(), kKeyPath, "Name"), "value");
        EXPECT_EQ(store.Content().substr(0, content.size()), content) << "the damaged lines stay";
    }
}

TEST(Registry, ATruncatedFileNeverYieldsAWrongValue) {
    StoreDirectory whole;
    ASSERT_EQ(StoreText(whole.Path(), kKeyPath, "Dir", "/music/a \"b\"\\c\nd"), ERROR_SUCCESS);
    {
        Registry registry(whole.Path());
        HKEY key{};
        ASSERT_EQ(registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
        registry.SetValue(key, "Number", DWORD{0x12345678});
        ASSERT_EQ(registry.CloseKey(key), ERROR_SUCCESS);
    }
    const std::string content = whole.Content();
    const size_t headerLength = content.find('\n');
    StoreDirectory store;
    for (size_t length = 0; length < content.size(); ++length) {
        store.Write(content.substr(0, length));
        Registry registry(store.Path());
        HKEY key{};
        const LONG opened = registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key);
        // Cut inside the section line: no key at all.
        EXPECT_EQ(opened == ERROR_SUCCESS, length >= headerLength) << length;
        if (opened != ERROR_SUCCESS) continue;
        const std::optional<std::string> text = QueryText(registry, key, "Dir");
        const std::optional<DWORD> number = QueryNumber(registry, key, "Number");
        if (text) {
            EXPECT_EQ(*text, "/music/a \"b\"\\c\nd") << length;
        }
        if (number) {
            EXPECT_EQ(*number, 0x12345678u) << length;
        }
        registry.CloseKey(key);
    }
}

TEST(Registry, AStoreThatCannotBeReadOrWrittenFailsCleanly) {
    StoreDirectory store;
    std::filesystem::create_directory(store.Path());  // a directory where the file should be
    Registry registry(store.Path());
    HKEY key{};
    EXPECT_EQ(registry.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StoreText(store.Path(), kKeyPath, "Name", "value"), ERROR_REGISTRY_IO_FAILED);
    EXPECT_TRUE(std::filesystem::is_directory(store.Path()));

    Registry nowhere("");
    EXPECT_EQ(nowhere.OpenKey(HKEY_CURRENT_USER, kKeyPath, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(nowhere.CreateKey(HKEY_CURRENT_USER, kKeyPath, KEY_ALL_ACCESS, &key, nullptr), ERROR_SUCCESS);
    nowhere.SetValue(key, "Name", DWORD{1});
    EXPECT_EQ(nowhere.CloseKey(key), ERROR_REGISTRY_IO_FAILED);
}

// Runs `body` in a child process and returns its exit status.
template <typename Body>
int RunInChild(Body body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(Registry, ASaveThatFailsMidwayKeepsTheOldContent) {
    StoreDirectory store;
    ASSERT_EQ(StoreText(store.Path(), kKeyPath, "Name", "old"), ERROR_SUCCESS);
    const std::string before = store.Content();
    // A file-size limit stands in for a full disk: the write stops part way.
    const int status = RunInChild([&store] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        return StoreText(store.Path(), kKeyPath, "Name", std::string(4096, 'n')) == ERROR_REGISTRY_IO_FAILED ? 0 : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed store is reported";
    EXPECT_EQ(store.Content(), before);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(store.Directory())) ++entries;
    EXPECT_EQ(entries, 2u) << "no temporary file is left beside the store";
}

TEST(Registry, AKillDuringSavesLeavesOldOrNewContent) {
    StoreDirectory store;
    const std::string first(200000, 'a');
    const std::string second(300000, 'b');
    ASSERT_EQ(StoreText(store.Path(), kKeyPath, "Big", first), ERROR_SUCCESS);
    for (int round = 0; round < 10; ++round) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = fork();
        if (child == 0) {
            // Saves without end, reporting each one, until killed.
            for (int save = 0;; ++save) {
                StoreText(store.Path(), kKeyPath, "Big", save % 2 ? first : second);
                if (write(progress[1], "s", 1) != 1) _exit(1);
            }
        }
        close(progress[1]);
        // Let a few saves finish, then kill the child somewhere in the next ones.
        char done = 0;
        for (int save = 0; save <= round % 3; ++save) ASSERT_EQ(read(progress[0], &done, 1), 1);
        usleep(static_cast<useconds_t>(round * 700));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(progress[0]);
        const std::optional<std::string> text = LoadText(store.Path(), kKeyPath, "Big");
        ASSERT_TRUE(text.has_value()) << round;
        EXPECT_TRUE(*text == first || *text == second) << round;
    }
}

TEST(Registry, DefaultStoreIsInTheApplicationDirectory) {
    StoreDirectory store;
    setenv("TUNELARK_HOME", store.Directory().c_str(), 1);
    Registry registry;
    unsetenv("TUNELARK_HOME");
    EXPECT_EQ(registry.FilePath(), store.Directory() + "/registry.txt");
}

}  // namespace
