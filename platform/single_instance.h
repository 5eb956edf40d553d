#pragma once

// One player per user: the first start takes a lock in the user's runtime
// directory (never a fixed path in /tmp that another user could take) and
// listens on a local socket beside it; a later start finds the lock held,
// hands its request to the running one through the socket, and gives up.
// What a request says is the caller's business: here it is only bytes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace platform {

class SingleInstance {
public:
    // `name` names the lock and the socket; `directory` overrides where they
    // live (tests), else $XDG_RUNTIME_DIR, else the application directory.
    explicit SingleInstance(std::string name, std::string directory = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is now the one running instance; false when
    // another runs.
    bool Acquire();

    // After a failed Acquire: hands `request` to the running instance. False
    // when it cannot be reached or does not take the whole request in time.
    bool SendToRunningInstance(std::string_view request);

    // After a successful Acquire: calls `onRequest` (on a thread of its own)
    // with each request a later start sends. A request longer than
    // `maximumBytes`, or one not finished within a few seconds, is dropped
    // unread.
    void Listen(size_t maximumBytes, std::function<void(std::string request)> onRequest);
    // Ends the listening; no call of `onRequest` runs or follows once it returns.
    void StopListening();

private:
    void ListenLoop();

    std::string lockPath_;
    std::string socketPath_;
    int lockHandle_ = -1;
    int listenHandle_ = -1;
    int stopPipe_[2] = {-1, -1};
    size_t maximumBytes_ = 0;
    std::function<void(std::string)> onRequest_;
    std::thread listener_;
};

}  // namespace platform
