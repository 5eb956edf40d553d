#pragma once

// One connection of the stream reader, plain or TLS: the same waits, cut
// short by the wake descriptor, whichever it carries. TLS goes through
// OpenSSL with the system's trust store (SSL_CERT_FILE and SSL_CERT_DIR
// override it), the server's name checked against its certificate and sent
// as SNI. Owned by one thread at a time.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/socket.h"

struct ssl_st;
struct ssl_ctx_st;

namespace engine {

// Every deadline of the stream code is on the sockets' clock.
using StreamClock = platform::SocketClock;

enum class ChannelRead { Data, Closed, TimedOut, Woken, Failed };

class StreamChannel {
public:
    StreamChannel() = default;
    ~StreamChannel() { Close(); }
    StreamChannel(const StreamChannel&) = delete;
    StreamChannel& operator=(const StreamChannel&) = delete;

    // Takes over a connected, non-blocking socket.
    void Attach(int socket);

    // Makes the connection TLS: the handshake with `host`, each wait at most
    // `silence`, all of it before `deadline`. False, with the reason for the
    // user in `error`, when the handshake fails or the certificate does not
    // verify for `host`; the channel is then closed.
    bool StartTls(const std::string& host, int wakeDescriptor, StreamClock::time_point deadline,
                  std::chrono::milliseconds silence, std::string* error);

    // Sends all of `bytes` before `deadline`; false on any failure.
    bool SendAll(std::string_view bytes, int wakeDescriptor, StreamClock::time_point deadline);

    // Receives up to `capacity` bytes into `buffer`, waiting at most
    // `timeout` for them. `received` is set for Data.
    ChannelRead Receive(uint8_t* buffer, size_t capacity, size_t* received, int wakeDescriptor,
                        std::chrono::milliseconds timeout);

    // Ends TLS and closes the socket.
    void Close();

    int Socket() const { return socket_; }
    bool IsOpen() const { return socket_ != platform::kNoSocket; }

private:
    int socket_ = platform::kNoSocket;
    ssl_ctx_st* context_ = nullptr;
    ssl_st* tls_ = nullptr;
};

}  // namespace engine
