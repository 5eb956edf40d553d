#pragma once

// The registry under HKEY_CURRENT_USER, kept in one text file.
//
// Implements, with the results of the Windows calls they are named after:
//   OpenKey     RegOpenKeyEx
//   CreateKey   RegCreateKeyEx (no class, default options)
//   QueryValue  RegQueryValueEx, into a four-byte buffer or a text buffer
//   SetValue    RegSetValueEx, for REG_DWORD and REG_SZ
//   CloseKey    RegCloseKey
// Keys live under HKEY_CURRENT_USER only. Key and value names match without
// regard to ASCII case, as on Windows, and keep the case they were written in.
//
// Storage. The file is read when a key is opened. Values set through a key
// are written when that key is closed: the file is read again, the key's
// changed values are put in, and the whole file is replaced atomically
// (WriteFileAtomically), so a crash or a kill at any moment leaves the old or
// the new file, never a mixture, and values of other keys written in between
// are kept. A handle sees its key as it was when opened, plus its own writes.
// A key that was only read is never written back.
//
// File format: UTF-8 lines, in the manner of a .reg file.
//   [HKEY_CURRENT_USER\Software\Marevista\Tunelark]
//   "EqEnable"=dword:0000001f
//   "SkinDir"="/home/me/skins/metal \"dark\""
// A section line opens a key; the value lines below it belong to that key.
// A DWORD is eight hexadecimal digits. Value names and texts are quoted, with
// these escapes: \\ backslash, \" quote, \n newline, \r carriage return,
// \t tab, and \xHH (two hexadecimal digits) for any other control byte and
// for any byte that is not part of well-formed UTF-8. Everything else is
// written as it stands, so any text, including leading and trailing spaces,
// "=" and non-ASCII characters, reads back unchanged.
// Reading never fails: a line that is not a complete section or value line
// (a comment, another value type, a line cut short, binary garbage) is not a
// value but is kept, in its place, whenever the file is written. So a
// missing, empty or garbled file reads as "no key", and a damaged one yields
// only the lines that are whole. Lines may end in CR LF. Where a value name
// repeats within a key, or a key's section line repeats, the later value
// wins and the next write keeps one line for it, where it first stood.
//
// One thread at a time; a Registry is not shared between threads.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using REGSAM = std::uint32_t;

// A key handle: a predefined root or a key opened by a Registry.
enum class HKEY : std::uint32_t {};
inline constexpr HKEY HKEY_CURRENT_USER{0x80000001u};

// Results.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// CreateKey's disposition.
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

struct RegistryValue;

// The store's file name in the application directory.
inline constexpr std::string_view kRegistryFileName = "registry.txt";

class Registry {
public:
    // The store in the application directory. If there is none, every key
    // reads as missing and every write fails.
    Registry();
    // The store in the file at `path`.
    explicit Registry(std::string path);
    // Closes the keys still open, writing their changes.
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const std::string& FilePath() const { return path_; }

    // Opens the existing key `subKey` ("Software\\Marevista\\Tunelark") below
    // `parent`. ERROR_FILE_NOT_FOUND if it does not exist. A key exists once
    // it was created or once a key below it was.
    LONG OpenKey(HKEY parent, std::string_view subKey, REGSAM access, HKEY* result);

    // Opens `subKey`, creating it (and the keys above it) if needed; a new
    // key is stored when it is closed. `disposition` may be null.
    LONG CreateKey(HKEY parent, std::string_view subKey, REGSAM access, HKEY* result, DWORD* disposition);

    // Reads the value `name` into the four-byte `data`. On entry `size` holds
    // the buffer's size in bytes (at most 4 are used); on return the size of
    // the value's data. A value larger than the buffer fails with
    // ERROR_MORE_DATA. The stored type is reported, not checked: a REG_SZ
    // value is delivered as the bytes of its UTF-16 form with terminator when
    // they fit, as Windows would, the rest of the DWORD zero. With `data`
    // null only `type` and `size` are filled. `type` may be null.
    LONG QueryValue(HKEY key, std::string_view name, DWORD* type, DWORD* data, DWORD* size);

    // Reads the value `name` as text into a buffer of `size` bytes. A REG_SZ
    // value takes (UTF-16 units + 1) x 2 bytes, as on Windows, so a 520-byte
    // buffer holds 259 characters; a longer value fails with ERROR_MORE_DATA.
    // A REG_DWORD value takes 4 bytes and reads as the UTF-16 text its bytes
    // spell, up to the first zero unit (the type is not checked, but the text
    // is always terminated).
    LONG QueryValue(HKEY key, std::string_view name, DWORD* type, std::string* text, DWORD* size);

    // Sets `name` to a REG_DWORD value.
    LONG SetValue(HKEY key, std::string_view name, DWORD value);
    // Sets `name` to a REG_SZ value, whose size counts as (UTF-16 units + 1) x 2.
    LONG SetValue(HKEY key, std::string_view name, std::string_view text);

    // Releases the key and stores its changes. ERROR_REGISTRY_IO_FAILED if
    // they could not be stored; the file then keeps its previous content.
    LONG CloseKey(HKEY key);

private:
    struct OpenedKey;

    OpenedKey* Find(HKEY key);
    LONG Open(HKEY parent, std::string_view subKey, REGSAM access, bool create, HKEY* result, DWORD* disposition);
    LONG Set(HKEY key, std::string_view name, const RegistryValue& value);
    LONG Store(const OpenedKey& opened);

    std::string path_;
    std::map<std::uint32_t, std::unique_ptr<OpenedKey>> openKeys_;
    std::uint32_t nextHandle_ = 1;
};

}  // namespace platform
