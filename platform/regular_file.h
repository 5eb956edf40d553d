#pragma once

#include <cstdio>
#include <string>

namespace platform {

// Opens `path` for reading only when it is a regular file. The open itself
// never blocks, so a FIFO or a device in the playlist is refused at once
// instead of holding the caller until a writer appears. A blocking
// descriptor, or -1.
int OpenRegularFile(const std::string& path);

// The same as a stdio stream, for libraries that read through one; null
// when refused.
std::FILE* OpenRegularFileStream(const std::string& path);

}  // namespace platform
