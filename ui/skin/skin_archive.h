#pragma once

// Skins packed in a ".wsz" or ".zip" archive of the same files as a skin
// directory. An archive is unpacked once into the user's cache directory and
// used from there; what it holds is outside input, so entries with absolute
// paths, ".." or links, and archives that would unpack beyond a sane size,
// are refused whole and leave nothing behind.

#include <string>

// True for a name ending in ".wsz" or ".zip", in any case.
bool IsSkinArchiveName(const std::string& path);

struct UnpackedSkin {
    std::string directory;  // where the skin's files are; empty on failure
    std::string error;      // why the archive was refused, for the user
};

// The archive's files, flattened into one directory of the cache (skins keep
// their files side by side; a folder inside the archive is only packing).
// An archive unpacked before, unchanged since, is not unpacked again.
UnpackedSkin UnpackSkinArchive(const std::string& archive);

// The directory of the skin at `location`: the location itself, or the
// unpacked copy of an archive there (empty when it cannot be unpacked).
std::string SkinDirectoryOf(const std::string& location);
