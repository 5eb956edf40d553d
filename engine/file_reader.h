#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/critical_section.h"

namespace engine {

// Returned for "no position": a failed seek, or a sync search that found nothing.
constexpr uint64_t kNoPosition = 0x7FFFFFFFFFFFFFFF;

enum SeekMethod : int {
    SEEK_FROM_START = 0,
    SEEK_FROM_CURRENT = 1,
};

// A thread-safe wrapper around one read-only file. The decoding thread reads
// through it while the caller's thread seeks; each operation holds the lock,
// which is re-entrant so that a sync search can hold it across many reads.
class FileReader {
public:
    FileReader() = default;  // closed
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens an existing regular file for reading. Fails for a missing file,
    // a directory or anything else that is not a plain file.
    int ReaderOpen(const std::string& path);
    void ReaderClose();
    // The new position, or kNoPosition on a closed reader or a refused seek.
    uint64_t ReaderSeek(int64_t distance, SeekMethod method);
    // Reads up to `count` bytes; only the end of the file reads fewer. A read
    // at the end succeeds with 0 bytes; a closed reader fails.
    int ReaderRead(void* buffer, size_t count, size_t* bytesRead);
    // The file size, 0 when closed. Takes no lock.
    uint64_t ReaderSize() const;
    // From now until the next open, the file ends at `end` for reads and the
    // size (where its audio ends, before a tail that is none).
    void EndAt(uint64_t end) { end_ = end; }
    bool IsOpen() const { return handle_.load() >= 0; }

    // Held by callers that need several operations to be atomic.
    platform::CriticalSection& Lock() { return lock_; }

private:
    // Written under lock_; read without it only by ReaderSize and IsOpen.
    std::atomic<int> handle_{-1};
    // Where reads end; kNoPosition for the file's own end.
    std::atomic<uint64_t> end_{kNoPosition};
    platform::CriticalSection lock_;
};

}  // namespace engine
