#pragma once

// Zip archives made at test time with libzip: named entries with their
// bytes, and links, so tests can build both honest and hostile archives.

#include <sys/stat.h>
#include <zip.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace test {

struct ZipEntry {
    std::string name;
    std::string bytes;
    bool isLink = false;  // a Unix symbolic link whose target is `bytes`
};

inline bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) return false;
    for (const ZipEntry& entry : entries) {
        // libzip reads the bytes when the archive is closed; the entries outlive that.
        zip_source_t* source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        const zip_int64_t index = source != nullptr ? zip_file_add(archive, entry.name.c_str(), source, 0) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (entry.isLink) {
            zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                             static_cast<zip_uint32_t>(S_IFLNK | 0777) << 16);
        }
    }
    return zip_close(archive) == 0;
}

}  // namespace test
