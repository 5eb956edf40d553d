#pragma once

// TCP sockets over POSIX: getaddrinfo, non-blocking connect, send and poll.
// Every wait also watches a wake descriptor (an eventfd), so that a stop cuts
// any wait short: a thread never sits in a socket call a stop cannot end.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

constexpr int kNoSocket = -1;
// For a wait that no stop needs to cut short.
constexpr int kNoWakeDescriptor = -1;

// The clock of every socket deadline.
using SocketClock = std::chrono::steady_clock;

enum class SocketWait { Ready, TimedOut, Woken, Failed };

// Waits until `socket` is ready for `events` (poll events), the wake
// descriptor is signalled, or `timeout` passes.
SocketWait WaitForSocket(int socket, short events, int wakeDescriptor, std::chrono::milliseconds timeout);

// Resolves `host` (a numeric IPv4 or IPv6 address, or a name) and connects to
// the first of its addresses that accepts, before `deadline`. Names are
// resolved on a helper thread that a wake abandons. Returns the connected,
// non-blocking socket, or kNoSocket.
int ConnectToHost(const std::string& host, uint16_t port, int wakeDescriptor, SocketClock::time_point deadline);

// Sends all of `bytes` before `deadline`; false on any failure.
bool SendAll(int socket, std::string_view bytes, int wakeDescriptor, SocketClock::time_point deadline);

// Shuts the connection down and closes the socket.
void CloseSocket(int socket);

// The wake descriptor: created once by the owner of the waits, signalled by a
// stop, drained before the next connection.
int CreateWakeDescriptor();
void SignalWakeDescriptor(int descriptor);
void DrainWakeDescriptor(int descriptor);

}  // namespace platform
