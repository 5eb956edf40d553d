#pragma once

// The embedded cover of a music file as a file the desktop can show: the
// media-player interface gives an address (mpris:artUrl), not the bytes.

#include <string>
#include <string_view>

// The cover of the file at `path` as a file:// URI of a copy under
// "covers/" in `cacheDirectory`, named by a hash of its bytes, so a cover
// shared by an album's tracks is written once and a changed cover gets a new
// name. Empty when the file has no cover or the copy cannot be written.
std::string CoverArtUri(const std::string& path, const std::string& cacheDirectory);

// The copy's file name: the bytes' 64-bit FNV-1a hash in hex and an
// extension for the MIME type.
std::string CoverFileName(std::string_view bytes, std::string_view mimeType);
