#include "platform/socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/clock.h"

namespace platform {

namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

milliseconds TimeLeft(SocketClock::time_point deadline) {
    return std::max(milliseconds(0), duration_cast<milliseconds>(deadline - Now()));
}

struct AddressListDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

// A name lookup on its own thread. getaddrinfo cannot be interrupted, so a
// stop abandons the lookup: the thread finishes on its own and the shared
// state dies with the last of its two owners.
struct NameLookup {
    ~NameLookup() {
        if (doneDescriptor >= 0) close(doneDescriptor);
    }
    std::mutex mutex;
    AddressList addresses;  // Guarded by mutex; set once by the lookup thread.
    int doneDescriptor = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
};

addrinfo LookupHints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    return hints;
}

AddressList LookUpNumeric(const std::string& host, const std::string& service) {
    const addrinfo hints = LookupHints(AI_NUMERICHOST | AI_NUMERICSERV);
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0) return nullptr;
    return AddressList(list);
}

AddressList LookUpName(const std::string& host, const std::string& service, int wakeDescriptor,
                       SocketClock::time_point deadline) {
    auto lookup = std::make_shared<NameLookup>();
    if (lookup->doneDescriptor < 0) return nullptr;
    try {
        std::thread([lookup, host, service] {
            const addrinfo hints = LookupHints(AI_NUMERICSERV);
            addrinfo* list = nullptr;
            if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0) list = nullptr;
            {
                std::lock_guard lock(lookup->mutex);
                lookup->addresses.reset(list);
            }
            SignalWakeDescriptor(lookup->doneDescriptor);
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    if (WaitForSocket(lookup->doneDescriptor, POLLIN, wakeDescriptor, TimeLeft(deadline)) != SocketWait::Ready) {
        return nullptr;
    }
    std::lock_guard lock(lookup->mutex);
    return std::move(lookup->addresses);
}

// Connects one address; the socket stays non-blocking from the start, so the
// wait for the connection can be cut short.
int ConnectToAddress(const addrinfo& address, int wakeDescriptor, SocketClock::time_point deadline) {
    const int socket = ::socket(address.ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return kNoSocket;
    if (connect(socket, address.ai_addr, address.ai_addrlen) == 0) return socket;
    if (errno == EINPROGRESS &&
        WaitForSocket(socket, POLLOUT, wakeDescriptor, TimeLeft(deadline)) == SocketWait::Ready) {
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) return socket;
    }
    close(socket);
    return kNoSocket;
}

}  // namespace

SocketWait WaitForSocket(int socket, short events, int wakeDescriptor, milliseconds timeout) {
    const auto deadline = Now() + timeout;
    for (;;) {
        pollfd descriptors[2] = {{socket, events, 0}, {wakeDescriptor, POLLIN, 0}};
        const int result = poll(descriptors, wakeDescriptor >= 0 ? 2 : 1, static_cast<int>(TimeLeft(deadline).count()));
        if (result < 0) {
            if (errno == EINTR) continue;
            return SocketWait::Failed;
        }
        if (result == 0) return SocketWait::TimedOut;
        if (wakeDescriptor >= 0 && descriptors[1].revents != 0) return SocketWait::Woken;
        // An error or hang-up is "ready" too: the next call reports it.
        return SocketWait::Ready;
    }
}

int ConnectToHost(const std::string& host, uint16_t port, int wakeDescriptor, SocketClock::time_point deadline) {
    const std::string service = std::to_string(port);
    AddressList addresses = LookUpNumeric(host, service);
    if (!addresses) addresses = LookUpName(host, service, wakeDescriptor, deadline);
    for (const addrinfo* address = addresses.get(); address != nullptr; address = address->ai_next) {
        if (Now() >= deadline) break;
        const int socket = ConnectToAddress(*address, wakeDescriptor, deadline);
        if (socket != kNoSocket) return socket;
    }
    return kNoSocket;
}

bool SendAll(int socket, std::string_view bytes, int wakeDescriptor, SocketClock::time_point deadline) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: a peer that has gone must not raise SIGPIPE.
        const ssize_t result = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (result > 0) {
            sent += static_cast<size_t>(result);
            continue;
        }
        if (result < 0 && errno == EINTR) continue;
        if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            WaitForSocket(socket, POLLOUT, wakeDescriptor, TimeLeft(deadline)) == SocketWait::Ready) {
            continue;
        }
        return false;
    }
    return true;
}

void CloseSocket(int socket) {
    if (socket == kNoSocket) return;
    shutdown(socket, SHUT_RDWR);
    close(socket);
}

int CreateWakeDescriptor() {
    return eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void SignalWakeDescriptor(int descriptor) {
    const uint64_t one = 1;
    // The counter cannot overflow from single increments in practice; a
    // failed write leaves it signalled anyway.
    [[maybe_unused]] const ssize_t written = write(descriptor, &one, sizeof one);
}

void DrainWakeDescriptor(int descriptor) {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(descriptor, &count, sizeof count);
}

}  // namespace platform
