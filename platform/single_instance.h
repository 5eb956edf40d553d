#pragma once

// One player per user: the first start takes a lock in the user's runtime
// directory (never a fixed path in /tmp that another user could take) and
// listens on a local socket beside it; a second start finds the lock held,
// asks the running one through the socket to come forward, and gives up.

#include <functional>
#include <string>
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

    // True when this process is now the one running instance. False when
    // another runs: it has then been asked to come forward.
    bool Acquire();

    // Calls `onRaise` (on a thread of its own) whenever a later start asks
    // this instance to come forward. Only after a successful Acquire.
    void ListenForRaise(std::function<void()> onRaise);

private:
    void Listen();
    void AskRunningInstanceToRaise();

    std::string lockPath_;
    std::string socketPath_;
    int lockHandle_ = -1;
    int listenHandle_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::function<void()> onRaise_;
    std::thread listener_;
};

}  // namespace platform
