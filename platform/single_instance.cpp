#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/app_files.h"
#include "platform/socket.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A request must be read whole within this, so a peer that stalls holds
// the listener up no longer.
constexpr auto kRequestTime = std::chrono::seconds(3);
// How long a later start waits for the running one to take its request.
constexpr timeval kSendTimeout{5, 0};
// The running instance takes its lock a moment before it listens: a start
// in that moment tries again for up to this many times this pause.
constexpr int kConnectAttempts = 50;
constexpr timespec kConnectPause{0, 20'000'000};
constexpr size_t kReadChunk = 64 * 1024;

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

int ConnectTo(const sockaddr_un& address) {
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        const int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (handle < 0) return -1;
        if (::connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return handle;
        const int error = errno;
        ::close(handle);
        if (error != ENOENT && error != ECONNREFUSED) return -1;
        ::nanosleep(&kConnectPause, nullptr);
    }
    return -1;
}

// Only the same user may talk to the player.
bool FromSameUser(int client) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::getuid();
}

// Everything the client sends up to its end, or nothing when it sends more
// than `maximumBytes`, takes too long or `stop` becomes readable.
std::optional<std::string> ReadRequest(int client, int stop, size_t maximumBytes) {
    const auto deadline = Clock::now() + kRequestTime;
    std::string request;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd handles[2] = {{client, POLLIN, 0}, {stop, POLLIN, 0}};
        const int ready = ::poll(handles, 2, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || handles[1].revents != 0) return std::nullopt;
        const size_t chunk = std::min(kReadChunk, maximumBytes + 1 - request.size());
        const size_t used = request.size();
        request.resize(used + chunk);
        const ssize_t got = ::read(client, request.data() + used, chunk);
        if (got < 0 && errno == EINTR) {
            request.resize(used);
            continue;
        }
        if (got < 0) return std::nullopt;
        request.resize(used + static_cast<size_t>(got));
        if (got == 0) return request;
        if (request.size() > maximumBytes) return std::nullopt;
    }
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string directory) {
    const std::string base = RuntimeDirectory(directory) + "/" + name;
    lockPath_ = base + ".lock";
    socketPath_ = base + ".socket";
}

SingleInstance::~SingleInstance() {
    StopListening();
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

bool SingleInstance::SendToRunningInstance(std::string_view request) {
    sockaddr_un address;
    if (!MakeAddress(socketPath_, address)) return false;
    const int handle = ConnectTo(address);
    if (handle < 0) return false;
    ::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &kSendTimeout, sizeof kSendTimeout);
    ::setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &kSendTimeout, sizeof kSendTimeout);
    const auto deadline = SocketClock::now() + std::chrono::seconds(kSendTimeout.tv_sec);
    bool taken = SendAll(handle, request, kNoWakeDescriptor, deadline) && ::shutdown(handle, SHUT_WR) == 0;
    if (taken) {
        // The running instance closes its end once it has read the request.
        char ignored[64];
        ssize_t got = 0;
        while ((got = ::read(handle, ignored, sizeof ignored)) > 0 || (got < 0 && errno == EINTR)) {
        }
        taken = got == 0;
    }
    ::close(handle);
    return taken;
}

void SingleInstance::Listen(size_t maximumBytes, std::function<void(std::string request)> onRequest) {
    if (listenHandle_ < 0 || listener_.joinable() || ::pipe2(stopPipe_, O_CLOEXEC) != 0) return;
    maximumBytes_ = maximumBytes;
    onRequest_ = std::move(onRequest);
    listener_ = std::thread([this] { ListenLoop(); });
}

void SingleInstance::StopListening() {
    if (!listener_.joinable()) return;
    const char stop = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &stop, 1);
    listener_.join();
}

void SingleInstance::ListenLoop() {
    for (;;) {
        pollfd handles[2] = {{listenHandle_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (::poll(handles, 2, -1) < 0) continue;
        if (handles[1].revents != 0) return;
        const int client = ::accept4(listenHandle_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        if (FromSameUser(client)) {
            std::optional<std::string> request = ReadRequest(client, stopPipe_[0], maximumBytes_);
            if (request.has_value()) onRequest_(std::move(*request));
        }
        ::close(client);
    }
}

}  // namespace platform
