#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/app_files.h"

namespace platform {
namespace {

constexpr char kRaiseRequest[] = "raise\n";

std::string RuntimeDirectory(const std::string& requested) {
    if (!requested.empty()) return requested;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') return runtime;
    return ApplicationDirectory();
}

// A socket address for `path`; false when the path does not fit.
bool MakeAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string directory) {
    const std::string base = RuntimeDirectory(directory) + "/" + name;
    lockPath_ = base + ".lock";
    socketPath_ = base + ".socket";
}

SingleInstance::~SingleInstance() {
    if (listener_.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &stop, 1);
        listener_.join();
    }
    for (int handle : {stopPipe_[0], stopPipe_[1], listenHandle_}) {
        if (handle >= 0) ::close(handle);
    }
    if (lockHandle_ >= 0) {
        ::unlink(socketPath_.c_str());
        ::close(lockHandle_);  // releases the lock
    }
}

bool SingleInstance::Acquire() {
    lockHandle_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockHandle_ >= 0 && ::flock(lockHandle_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockHandle_);
        lockHandle_ = -1;
        AskRunningInstanceToRaise();
        return false;
    }
    // Without a usable runtime directory the player still runs, unguarded.
    if (lockHandle_ < 0) return true;
    sockaddr_un address;
    if (!MakeAddress(socketPath_, address)) return true;
    ::unlink(socketPath_.c_str());  // left by a player that crashed; the lock is ours
    listenHandle_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenHandle_ >= 0 && (::bind(listenHandle_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                               ::listen(listenHandle_, 4) != 0)) {
        ::close(listenHandle_);
        listenHandle_ = -1;
    }
    return true;
}

void SingleInstance::AskRunningInstanceToRaise() {
    sockaddr_un address;
    if (!MakeAddress(socketPath_, address)) return;
    const int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) return;
    if (::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(handle, kRaiseRequest, sizeof kRaiseRequest - 1);
    }
    ::close(handle);
}

void SingleInstance::ListenForRaise(std::function<void()> onRaise) {
    if (listenHandle_ < 0 || listener_.joinable() || ::pipe2(stopPipe_, O_CLOEXEC) != 0) return;
    onRaise_ = std::move(onRaise);
    listener_ = std::thread([this] { Listen(); });
}

void SingleInstance::Listen() {
    for (;;) {
        pollfd handles[2] = {{listenHandle_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(handles, 2, -1) < 0) continue;
        if (handles[1].revents != 0) return;
        const int client = ::accept4(listenHandle_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        char request[sizeof kRaiseRequest] = {};
        // A peer that connects and says nothing must not stall the player.
        pollfd readable{client, POLLIN, 0};
        if (::poll(&readable, 1, 1000) > 0 && ::read(client, request, sizeof request - 1) > 0 &&
            std::strcmp(request, kRaiseRequest) == 0 && onRaise_) {
            onRaise_();
        }
        ::close(client);
    }
}

}  // namespace platform
