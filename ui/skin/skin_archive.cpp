#include "ui/skin/skin_archive.h"

#include <sys/stat.h>
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/app_files.h"
#include "platform/path_text.h"

namespace {

// A skin is a dozen bitmaps of some tens of kilobytes; these bounds leave
// room for big ones and stop a zip bomb long before it fills the disk.
constexpr uint64_t kLargestUnpackedSkin = 32 << 20;
constexpr zip_int64_t kMostEntries = 512;
constexpr size_t kCopyChunkBytes = 16 * 1024;
constexpr const char* kSkinsFolder = "skins";

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// The name's last part, whichever separator the packing system used.
std::string_view BaseName(std::string_view name) {
    const size_t separator = name.find_last_of("/\\");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

// Absolute paths, drive letters and ".." could only be meant to write
// outside the skin.
bool EscapesTheSkin(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return true;
    if (name.size() >= 2 && name[1] == ':') return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

bool IsLink(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) return false;
    return system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16);
}

// Copies one entry to `path`, counting its bytes against what is left of
// the budget (the sizes an archive states may lie).
bool CopyEntry(zip_t* archive, zip_uint64_t index, const std::string& path, uint64_t& budget, std::string& error) {
    const Entry entry(zip_fopen_index(archive, index, 0));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (entry == nullptr || !out) {
        error = "The archive is damaged.";
        return false;
    }
    char chunk[kCopyChunkBytes];
    for (;;) {
        const zip_int64_t read = zip_fread(entry.get(), chunk, sizeof chunk);
        if (read < 0) {
            error = "The archive is damaged.";
            return false;
        }
        if (read == 0) return static_cast<bool>(out.flush());
        if (static_cast<uint64_t>(read) > budget) {
            error = "The archive unpacks to more than a skin can hold.";
            return false;
        }
        budget -= static_cast<uint64_t>(read);
        out.write(chunk, read);
    }
}

bool UnpackInto(zip_t* archive, const std::string& directory, std::string& error) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || count > kMostEntries) {
        error = "The archive holds more files than a skin has.";
        return false;
    }
    uint64_t budget = kLargestUnpackedSkin;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        const char* rawName = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
        if (rawName == nullptr) {
            error = "The archive is damaged.";
            return false;
        }
        const std::string_view name(rawName);
        if (EscapesTheSkin(name) || IsLink(archive, index)) {
            error = "The archive holds an entry that points outside the skin: \"" + std::string(name) + "\".";
            return false;
        }
        const std::string_view file = BaseName(name);
        if (file.empty() || file == ".") continue;  // a folder
        if (!CopyEntry(archive, index, platform::JoinPath(directory, file), budget, error)) return false;
    }
    return true;
}

// One cache folder per archive and version of it.
std::string CacheFolderName(const std::filesystem::path& archive) {
    std::error_code error;
    const auto size = std::filesystem::file_size(archive, error);
    const auto changed = std::filesystem::last_write_time(archive, error).time_since_epoch().count();
    const size_t key = std::hash<std::string>{}(archive.string() + '\n' + std::to_string(size) + '\n' +
                                                std::to_string(changed));
    char name[32];
    std::snprintf(name, sizeof name, "%016zx", key);
    return name;
}

}  // namespace

bool IsSkinArchiveName(const std::string& path) {
    return platform::EndsWithIgnoringCase(path, ".wsz") || platform::EndsWithIgnoringCase(path, ".zip");
}

UnpackedSkin UnpackSkinArchive(const std::string& archivePath) {
    std::error_code fileError;
    const std::filesystem::path archiveFile = std::filesystem::absolute(archivePath, fileError);
    if (fileError || !std::filesystem::is_regular_file(archiveFile, fileError)) {
        return {{}, "Cannot find the skin archive \"" + archivePath + "\"."};
    }
    const std::string cache = platform::CacheDirectory();
    if (cache.empty()) return {{}, "There is no cache directory to unpack the skin into."};
    const std::filesystem::path skins = std::filesystem::path(cache) / kSkinsFolder;
    const std::filesystem::path target = skins / CacheFolderName(archiveFile);
    if (std::filesystem::is_directory(target, fileError)) return {target.string(), {}};

    int openError = 0;
    const Archive archive(zip_open(archiveFile.c_str(), ZIP_RDONLY, &openError));
    if (archive == nullptr) return {{}, "\"" + archivePath + "\" is not a zip archive."};
    // Unpacked beside the target and renamed into place whole, so that a
    // refused or interrupted archive never leaves a half skin to be reused.
    std::filesystem::create_directories(skins, fileError);
    std::string partial = (skins / (target.filename().string() + ".partial-XXXXXX")).string();
    if (mkdtemp(partial.data()) == nullptr) return {{}, "Cannot unpack the skin into the cache directory."};
    std::string error;
    const bool unpacked = UnpackInto(archive.get(), partial, error);
    if (unpacked) std::filesystem::rename(partial, target, fileError);
    std::filesystem::remove_all(partial, fileError);
    if (!unpacked) return {{}, error};
    if (!std::filesystem::is_directory(target, fileError)) return {{}, "Cannot unpack the skin into the cache directory."};
    return {target.string(), {}};
}

std::string SkinDirectoryOf(const std::string& location) {
    if (!IsSkinArchiveName(location)) return location;
    return UnpackSkinArchive(location).directory;
}
