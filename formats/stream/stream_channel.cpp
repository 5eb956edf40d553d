#include "formats/stream/stream_channel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "platform/clock.h"

namespace engine {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

milliseconds TimeLeft(StreamClock::time_point deadline) {
    return std::max(milliseconds(0), duration_cast<milliseconds>(deadline - platform::Now()));
}

int SocketOf(BIO* bio) { return static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(bio))); }

// OpenSSL's own socket BIO writes with write(), which raises SIGPIPE when the
// server has gone; this one sends with MSG_NOSIGNAL, as the plain path does.
int WriteToSocket(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    const ssize_t sent = send(SocketOf(bio), data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_write(bio);
    return static_cast<int>(sent);
}

int ReadFromSocket(BIO* bio, char* data, int length) {
    BIO_clear_retry_flags(bio);
    const ssize_t received = recv(SocketOf(bio), data, static_cast<size_t>(length), 0);
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_read(bio);
    return static_cast<int>(received);
}

long ControlSocket(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

// Made once and kept for the life of the process.
const BIO_METHOD* SocketMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* created = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "stream socket");
        if (created == nullptr) return created;
        BIO_meth_set_write(created, WriteToSocket);
        BIO_meth_set_read(created, ReadFromSocket);
        BIO_meth_set_ctrl(created, ControlSocket);
        return created;
    }();
    return method;
}

bool IsNumericAddress(const std::string& host) {
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// The wait an unfinished TLS call asks for; false when it asks for none.
bool WantedEvents(int error, short* events) {
    if (error == SSL_ERROR_WANT_READ) {
        *events = POLLIN;
        return true;
    }
    if (error == SSL_ERROR_WANT_WRITE) {
        *events = POLLOUT;
        return true;
    }
    return false;
}

ChannelRead ReadResult(platform::SocketWait wait) {
    switch (wait) {
        case platform::SocketWait::Ready: return ChannelRead::Data;
        case platform::SocketWait::TimedOut: return ChannelRead::TimedOut;
        case platform::SocketWait::Woken: return ChannelRead::Woken;
        case platform::SocketWait::Failed: break;
    }
    return ChannelRead::Failed;
}

}  // namespace

void StreamChannel::Attach(int socket) {
    Close();
    socket_ = socket;
}

bool StreamChannel::StartTls(const std::string& host, int wakeDescriptor, StreamClock::time_point deadline,
                             milliseconds silence, std::string* error) {
    const std::string failed = "The secure connection to " + host + " failed.";
    context_ = SSL_CTX_new(TLS_client_method());
    if (context_ != nullptr) tls_ = SSL_new(context_);
    BIO* bio = SocketMethod() != nullptr ? BIO_new(SocketMethod()) : nullptr;
    if (tls_ == nullptr || bio == nullptr) {
        BIO_free(bio);
        *error = failed;
        Close();
        return false;
    }
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<intptr_t>(socket_)));
    BIO_set_init(bio, 1);
    SSL_set_bio(tls_, bio, bio);

    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    // Servers often close without a TLS goodbye; that is the end of the stream.
    SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
    // Without a trust store nothing verifies, which fails below with its reason.
    SSL_CTX_set_default_verify_paths(context_);
    SSL_set_verify(tls_, SSL_VERIFY_PEER, nullptr);
    if (IsNumericAddress(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(tls_), host.c_str());
    } else {
        SSL_set_tlsext_host_name(tls_, host.c_str());
        SSL_set_hostflags(tls_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        SSL_set1_host(tls_, host.c_str());
    }

    for (;;) {
        ERR_clear_error();
        const int result = SSL_connect(tls_);
        if (result == 1) return true;
        short events = 0;
        if (WantedEvents(SSL_get_error(tls_, result), &events)) {
            const platform::SocketWait wait =
                platform::WaitForSocket(socket_, events, wakeDescriptor, std::min(silence, TimeLeft(deadline)));
            if (wait == platform::SocketWait::Ready) continue;
            *error = wait == platform::SocketWait::Woken ? std::string() : host + " did not answer the secure connection.";
        } else {
            const long verified = SSL_get_verify_result(tls_);
            *error = verified == X509_V_OK ? failed
                                           : "The certificate of " + host + " could not be verified (" +
                                                 X509_verify_cert_error_string(verified) + ").";
        }
        ERR_clear_error();
        Close();
        return false;
    }
}

bool StreamChannel::SendAll(std::string_view bytes, int wakeDescriptor, StreamClock::time_point deadline) {
    if (tls_ == nullptr) return platform::SendAll(socket_, bytes, wakeDescriptor, deadline);
    size_t sent = 0;
    while (sent < bytes.size()) {
        size_t written = 0;
        ERR_clear_error();
        if (SSL_write_ex(tls_, bytes.data() + sent, bytes.size() - sent, &written) == 1) {
            sent += written;
            continue;
        }
        short events = 0;
        if (!WantedEvents(SSL_get_error(tls_, 0), &events) ||
            platform::WaitForSocket(socket_, events, wakeDescriptor, TimeLeft(deadline)) != platform::SocketWait::Ready) {
            ERR_clear_error();
            return false;
        }
    }
    return true;
}

ChannelRead StreamChannel::Receive(uint8_t* buffer, size_t capacity, size_t* received, int wakeDescriptor,
                                   milliseconds timeout) {
    *received = 0;
    const auto deadline = platform::Now() + timeout;
    for (;;) {
        short events = POLLIN;
        if (tls_ == nullptr) {
            const platform::SocketWait wait = platform::WaitForSocket(socket_, POLLIN, wakeDescriptor, TimeLeft(deadline));
            if (wait != platform::SocketWait::Ready) return ReadResult(wait);
            const ssize_t count = recv(socket_, buffer, capacity, 0);
            if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
            if (count < 0) return ChannelRead::Failed;
            if (count == 0) return ChannelRead::Closed;
            *received = static_cast<size_t>(count);
            return ChannelRead::Data;
        }
        // TLS may hold decrypted bytes the socket no longer shows: read first, wait after.
        ERR_clear_error();
        if (SSL_read_ex(tls_, buffer, capacity, received) == 1) return ChannelRead::Data;
        const int error = SSL_get_error(tls_, 0);
        if (error == SSL_ERROR_ZERO_RETURN) return ChannelRead::Closed;
        if (!WantedEvents(error, &events)) {
            ERR_clear_error();
            return ChannelRead::Failed;
        }
        const platform::SocketWait wait = platform::WaitForSocket(socket_, events, wakeDescriptor, TimeLeft(deadline));
        if (wait != platform::SocketWait::Ready) return ReadResult(wait);
    }
}

void StreamChannel::Close() {
    if (tls_ != nullptr) {
        // One attempt at the goodbye; a server that has gone needs none.
        if (SSL_is_init_finished(tls_)) SSL_shutdown(tls_);
        ERR_clear_error();
        SSL_free(tls_);
        tls_ = nullptr;
    }
    if (context_ != nullptr) {
        SSL_CTX_free(context_);
        context_ = nullptr;
    }
    platform::CloseSocket(socket_);
    socket_ = platform::kNoSocket;
}

}  // namespace engine
