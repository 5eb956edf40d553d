#pragma once

// Reads the play lengths of a list's files on a thread of its own, through
// the tag cache, so the window that shows them never opens a file. The
// window hands it the paths to read, those it shows first; each time lengths
// are ready it posts one message, and the window takes them on its thread.
// Results are keyed by path, so one that arrives after the list changed is
// harmless. With nothing to read the thread sleeps; the destructor wakes it,
// lets it finish the file in hand, saves the cache and joins it.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/notify_window.h"

class LengthReader {
public:
    // A path and its length in milliseconds, or kLengthUnreadable.
    using Length = std::pair<std::string, int64_t>;

    // Posts `message` (wParam = lParam = 0) to `window` when lengths wait to
    // be taken; the window must outlive the reader.
    LengthReader(std::string cachePath, platform::NotifyWindow& window, uint32_t message);
    ~LengthReader();
    LengthReader(const LengthReader&) = delete;
    LengthReader& operator=(const LengthReader&) = delete;

    // Reads these paths next, in this order, instead of what was still waiting.
    void Request(std::vector<std::string> paths);
    // Reads these paths before what is still waiting (the rows scrolled into
    // view); one already read or asked again costs only a look in the cache.
    void ReadFirst(const std::vector<std::string>& paths);
    // The lengths read since the last call.
    std::vector<Length> TakeLengths();

private:
    void Run();

    const std::string cachePath_;
    platform::NotifyWindow& window_;
    const uint32_t message_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::string> waiting_;  // guarded by lock_
    std::vector<Length> read_;         // guarded by lock_
    bool stopping_ = false;            // guarded by lock_
    std::thread thread_;               // last: starts once the rest is ready
};
