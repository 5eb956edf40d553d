#pragma once

// A small HTTP/ICY server on 127.0.0.1 for the stream tests, whose sessions
// misbehave on request: every accepted connection runs the next session of a
// script (the last one repeats). Everything is bounded: the server accepts at
// most kMaximumConnections, every socket wait is cut into short steps, a
// session's pause ends with the server, and the whole server stops by itself
// when its lifetime ends or when it is destroyed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace streamtest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kServerLifetime = 60s;
constexpr auto kServerStep = 20ms;
constexpr int kMaximumConnections = 16;

// How long a server runs: until its owner ends it or its lifetime is over.
// Sessions wait on it rather than sleeping.
class ServerLife {
public:
    explicit ServerLife(Clock::duration lifetime) : end_(Clock::now() + lifetime) {}

    void End() {
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_all();
    }
    bool Over() const {
        std::lock_guard lock(mutex_);
        return ended_ || Clock::now() >= end_;
    }
    // Waits `duration`, or less when the life ends first.
    void Wait(Clock::duration duration) const {
        std::unique_lock lock(mutex_);
        changed_.wait_until(lock, std::min(Clock::now() + duration, end_), [this] { return ended_; });
    }

private:
    const Clock::time_point end_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool ended_ = false;  // Guarded by mutex_.
};

class ServerConnection {
public:
    ServerConnection(int socket, const ServerLife& life) : socket_(socket), life_(life) {}

    // The request up to its blank line, waiting at most `limit`; empty when
    // none came.
    std::string ReadRequest(std::chrono::milliseconds limit = 5000ms) {
        std::string request;
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline && !life_.Over()) {
            if (!Readable(kServerStep)) continue;
            char buffer[1024];
            const ssize_t received = recv(socket_, buffer, sizeof buffer, 0);
            if (received <= 0) break;
            request.append(buffer, static_cast<size_t>(received));
            if (request.find("\r\n\r\n") != std::string::npos) break;
        }
        return request;
    }

    // False once the client has gone or the server stops.
    bool Send(std::string_view bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            if (life_.Over()) return false;
            pollfd descriptor{socket_, POLLOUT, 0};
            if (poll(&descriptor, 1, static_cast<int>(kServerStep.count())) <= 0) continue;
            const ssize_t result = send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (result <= 0) return false;
            sent += static_cast<size_t>(result);
        }
        return true;
    }

    // Sends in pieces of `piece` bytes with `pause` after each.
    bool SendSlowly(std::string_view bytes, size_t piece, std::chrono::milliseconds pause) {
        for (size_t offset = 0; offset < bytes.size(); offset += piece) {
            if (!Send(bytes.substr(offset, piece))) return false;
            Pause(pause);
        }
        return true;
    }

    // Whether the client sends anything within `limit`; what it sent stays
    // unread.
    bool Heard(std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline && !life_.Over()) {
            if (Readable(kServerStep)) return true;
        }
        return false;
    }

    // Sends nothing for `duration`; returns early only when the server stops.
    void Pause(std::chrono::milliseconds duration) { life_.Wait(duration); }

    // Sends nothing and waits, at most `limit`, for the client to close the
    // connection; how long that took, or nothing.
    std::optional<std::chrono::milliseconds> WaitForClientClose(std::chrono::milliseconds limit) {
        const auto start = Clock::now();
        while (Clock::now() - start < limit && !life_.Over()) {
            if (!Readable(kServerStep)) continue;
            char buffer[4096];
            const ssize_t received = recv(socket_, buffer, sizeof buffer, 0);
            if (received <= 0) return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        }
        return std::nullopt;
    }

    // Copies bytes both ways between the client and 127.0.0.1:`port` until
    // either side closes or the server stops: a proxy's tunnel.
    void Relay(uint16_t port) {
        const int onward = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        if (connect(onward, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(onward);
            return;
        }
        while (!life_.Over()) {
            pollfd descriptors[2] = {{socket_, POLLIN, 0}, {onward, POLLIN, 0}};
            if (poll(descriptors, 2, static_cast<int>(kServerStep.count())) <= 0) continue;
            if (!Forward(descriptors[0], socket_, onward) || !Forward(descriptors[1], onward, socket_)) break;
        }
        close(onward);
    }

private:
    // Moves what `from` has to `to`; false once either side has closed.
    static bool Forward(const pollfd& ready, int from, int to) {
        if (ready.revents == 0) return true;
        char buffer[4096];
        const ssize_t received = recv(from, buffer, sizeof buffer, 0);
        if (received <= 0) return false;
        for (ssize_t sent = 0; sent < received;) {
            const ssize_t result = send(to, buffer + sent, size_t(received - sent), MSG_NOSIGNAL);
            if (result <= 0) return false;
            sent += result;
        }
        return true;
    }

    bool Readable(std::chrono::milliseconds timeout) {
        pollfd descriptor{socket_, POLLIN, 0};
        return poll(&descriptor, 1, static_cast<int>(timeout.count())) > 0;
    }

    int socket_;
    const ServerLife& life_;
};

class FaultServer;
using Session = std::function<void(FaultServer& server, ServerConnection& connection)>;

class FaultServer {
public:
    explicit FaultServer(std::vector<Session> sessions, std::chrono::seconds lifetime = kServerLifetime)
        : sessions_(std::move(sessions)), life_(lifetime) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int reuse = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, kMaximumConnections);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { Accept(); });
    }

    ~FaultServer() {
        life_.End();
        acceptor_.join();
        for (std::thread& session : running_) session.join();
        close(listener_);
    }

    FaultServer(const FaultServer&) = delete;
    FaultServer& operator=(const FaultServer&) = delete;

    uint16_t Port() const { return port_; }
    std::string Url(std::string_view path = "/live") const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    int Connections() const { return connections_.load(); }
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    // Sessions record what they observed here (for example a delay).
    void Note(std::string note) {
        std::lock_guard lock(mutex_);
        notes_.push_back(std::move(note));
    }
    std::vector<std::string> Notes() const {
        std::lock_guard lock(mutex_);
        return notes_;
    }
    // Reads the request of a connection and keeps it for the test.
    std::string ReadRequest(ServerConnection& connection) {
        std::string request = connection.ReadRequest();
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        return request;
    }

private:
    bool Stopping() const { return life_.Over(); }

    void Accept() {
        while (!Stopping()) {
            pollfd descriptor{listener_, POLLIN, 0};
            if (poll(&descriptor, 1, static_cast<int>(kServerStep.count())) <= 0) continue;
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            const int index = connections_++;
            if (index >= kMaximumConnections || sessions_.empty()) {
                close(client);
                continue;
            }
            const int noDelay = 1;
            setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
            const Session& session = sessions_[std::min<size_t>(static_cast<size_t>(index), sessions_.size() - 1)];
            running_.emplace_back([this, client, &session] {
                ServerConnection connection(client, life_);
                session(*this, connection);
                close(client);
            });
        }
    }

    const std::vector<Session> sessions_;
    ServerLife life_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<int> connections_{0};
    std::thread acceptor_;
    std::vector<std::thread> running_;  // only the acceptor thread adds, before the join in the destructor
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;  // Guarded by mutex_.
    std::vector<std::string> notes_;     // Guarded by mutex_.
};

// One metadata block: the length byte and the text padded with zeros to a
// multiple of 16 (texts longer than 4080 bytes are cut).
inline std::string MetadataBlock(std::string_view text) {
    const size_t units = std::min<size_t>((text.size() + 15) / 16, 255);
    std::string block(1 + units * 16, '\0');
    block[0] = static_cast<char>(units);
    std::copy_n(text.begin(), std::min(text.size(), units * 16), block.begin() + 1);
    return block;
}

// `audio` with a metadata block after every `metaint` bytes; block i holds
// blockText(i) ("" gives a length byte of 0).
inline std::string Interleave(const std::vector<uint8_t>& audio, size_t metaint,
                              const std::function<std::string(size_t)>& blockText) {
    std::string body;
    size_t block = 0;
    for (size_t offset = 0; offset < audio.size(); offset += metaint) {
        const size_t take = std::min(metaint, audio.size() - offset);
        body.append(reinterpret_cast<const char*>(audio.data() + offset), take);
        if (take == metaint) body += MetadataBlock(blockText(block++));
    }
    return body;
}

inline std::string TitleText(std::string_view title) { return "StreamTitle='" + std::string(title) + "';"; }

// A session that answers with `status` and `headers` and then sends `body`
// and closes.
inline Session Respond(std::string statusLine, std::string headers, std::string body) {
    return [statusLine, headers, body](FaultServer& server, ServerConnection& connection) {
        server.ReadRequest(connection);
        connection.Send(statusLine + "\r\n" + headers + "\r\n" + body);
    };
}

// A session that answers "ICY 200 OK" with `headers`, sends `body`, and then
// a byte every 300 ms: never a whole chunk of audio, yet never silent long
// enough for the reader to give up.
inline Session Drip(std::string headers, std::string body) {
    return [headers, body](FaultServer& server, ServerConnection& connection) {
        server.ReadRequest(connection);
        if (!connection.Send("ICY 200 OK\r\n" + headers + "\r\n" + body)) return;
        while (connection.Send(std::string(1, '\xff'))) connection.Pause(std::chrono::milliseconds(300));
    };
}

}  // namespace streamtest
