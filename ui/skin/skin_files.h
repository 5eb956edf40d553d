#pragma once

// The files of a skin directory, listed once. Skins come from systems whose
// file names ignore case, so "Main.Bmp" must be found when "main.bmp" is
// asked for.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class SkinFiles {
public:
    // The entries of `dir`; nullopt when it cannot be listed or its path
    // leaves no room for a skin file's name under the platform's limit.
    static std::optional<SkinFiles> List(const std::string& dir);

    // How many entries other than directories bear one of `names`, ignoring case.
    int CountNamed(std::span<const std::string_view> names) const;

    // The path of the regular file named `name` ignoring case (an exact match
    // wins); nullopt when there is none. Pipes and devices never match:
    // opening one could block the player forever.
    std::optional<std::string> Find(std::string_view name) const;

private:
    struct Entry {
        std::string name;
        bool isDirectory = false;
        bool isRegularFile = false;
    };

    std::string dir_;
    std::vector<Entry> entries_;
};
