#include "engine/file_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/regular_file.h"

namespace engine {

FileReader::~FileReader() {
    ReaderClose();
}

int FileReader::ReaderOpen(const std::string& path) {
    platform::CriticalSectionGuard guard(lock_);
    const int handle = platform::OpenRegularFile(path);
    if (handle < 0) return 0;
    ReaderClose();
    handle_.store(handle);
    end_ = kNoPosition;
    return 1;
}

void FileReader::ReaderClose() {
    platform::CriticalSectionGuard guard(lock_);
    const int handle = handle_.exchange(-1);
    if (handle >= 0) ::close(handle);
}

uint64_t FileReader::ReaderSeek(int64_t distance, SeekMethod method) {
    platform::CriticalSectionGuard guard(lock_);
    const int handle = handle_.load();
    if (handle < 0) return kNoPosition;
    const int whence = method == SEEK_FROM_CURRENT ? SEEK_CUR : SEEK_SET;
    const off_t position = ::lseek(handle, static_cast<off_t>(distance), whence);
    if (position < 0) return kNoPosition;
    return static_cast<uint64_t>(position);
}

int FileReader::ReaderRead(void* buffer, size_t count, size_t* bytesRead) {
    platform::CriticalSectionGuard guard(lock_);
    *bytesRead = 0;
    const int handle = handle_.load();
    if (handle < 0) return 0;
    auto* destination = static_cast<char*>(buffer);
    if (const uint64_t end = end_.load(); end != kNoPosition) {
        const off_t position = ::lseek(handle, 0, SEEK_CUR);
        if (position < 0) return 0;
        count = static_cast<uint64_t>(position) >= end ? 0 : std::min<uint64_t>(count, end - uint64_t(position));
    }
    while (*bytesRead < count) {
        const ssize_t got = ::read(handle, destination + *bytesRead, count - *bytesRead);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return 0;
        if (got == 0) break;  // end of file
        *bytesRead += static_cast<size_t>(got);
    }
    return 1;
}

uint64_t FileReader::ReaderSize() const {
    const int handle = handle_.load();
    struct stat status {};
    if (handle < 0 || ::fstat(handle, &status) != 0) return 0;
    return std::min(static_cast<uint64_t>(status.st_size), end_.load());
}

}  // namespace engine
