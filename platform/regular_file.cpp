#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

int OpenRegularFile(const std::string& path) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) return -1;
    struct stat status {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(handle);
        return -1;
    }
    ::fcntl(handle, F_SETFL, 0);
    return handle;
}

std::FILE* OpenRegularFileStream(const std::string& path) {
    const int handle = OpenRegularFile(path);
    if (handle < 0) return nullptr;
    std::FILE* stream = ::fdopen(handle, "rb");
    if (stream == nullptr) ::close(handle);
    return stream;
}

}  // namespace platform
