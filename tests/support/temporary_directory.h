#pragma once

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes; for tests that build a small tree
// of folders and files.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

namespace test {

class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tunelark-tree-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary directory";
        path_ = pattern;
    }
    ~TemporaryDirectory() {
        // Folders a test made unreadable must be opened again to be removed.
        std::error_code ignored;
        for (auto entry = std::filesystem::recursive_directory_iterator(path_, ignored);
             entry != std::filesystem::recursive_directory_iterator(); entry.increment(ignored)) {
            std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& Path() const { return path_; }
    // `relative` inside the directory, e.g. "Music/Rock".
    std::string PathOf(const std::string& relative) const { return path_ + "/" + relative; }

    // Makes the directory `relative` and those on the way to it.
    void MakeDirectory(const std::string& relative) const {
        std::error_code error;
        std::filesystem::create_directories(PathOf(relative), error);
        EXPECT_FALSE(error) << relative << ": " << error.message();
    }
    // A small file at `relative`; its directory must exist.
    void MakeFile(const std::string& relative) const { std::ofstream(PathOf(relative)) << "x"; }

private:
    std::string path_;
};

}  // namespace test
