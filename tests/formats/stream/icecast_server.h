#pragma once

// A private icecast2 on 127.0.0.1, fed by ffmpeg looping a fixture into
// /live.mp3, run by tests/stream/run_icecast.sh in its own process group. The
// group is killed when the object goes, and the script bounds the servers'
// lifetime by itself, so nothing outlives a crashed test for long.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/formats/stream/free_port.h"
#include "tests/support/temporary_directory.h"

namespace streamtest {

constexpr const char* kIcecastPassword = "tunelark-test";
constexpr const char* kIcecastStation = "Tunelark Test FM";
constexpr int kIcecastLifetimeSeconds = 90;
// Room for the three tries run_icecast.sh gives the servers.
constexpr auto kIcecastStartTime = std::chrono::seconds(50);

class IcecastServer {
public:
    explicit IcecastServer(const std::string& mp3) {
        port_ = FreePort();
        int output[2];
        if (pipe(output) != 0) return;
        const std::string script = ScriptPath();
        const std::string port = std::to_string(port_);
        const std::string lifetime = std::to_string(kIcecastLifetimeSeconds);
        process_ = fork();
        if (process_ == 0) {
            setpgid(0, 0);
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            close(output[1]);
            execl("/bin/bash", "bash", script.c_str(), directory_.Path().c_str(), mp3.c_str(), port.c_str(), kIcecastPassword,
                  kIcecastStation, lifetime.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(output[1]);
        if (process_ > 0) setpgid(process_, process_);
        ready_ = WaitForReady(output[0]);
        close(output[0]);
    }

    ~IcecastServer() {
        if (process_ > 0) {
            kill(-process_, SIGTERM);
            const bool reaped = Reaped(std::chrono::seconds(5));
            // Whatever of the group is still shutting down goes at once.
            kill(-process_, SIGKILL);
            if (!reaped) waitpid(process_, nullptr, 0);
        }
    }

    IcecastServer(const IcecastServer&) = delete;
    IcecastServer& operator=(const IcecastServer&) = delete;

    bool Ready() const { return ready_; }
    uint16_t Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/live.mp3"; }

    // Changes the stream title through the admin interface (curl, bounded).
    bool SetTitle(const std::string& title) const {
        std::string encoded;
        for (const char character : title) encoded += character == ' ' ? std::string("%20") : std::string(1, character);
        const std::string command = std::string("curl -s -o /dev/null -m 5 -u admin:") + kIcecastPassword +
                                    " 'http://127.0.0.1:" + std::to_string(port_) +
                                    "/admin/metadata?mount=/live.mp3&mode=updinfo&song=" + encoded + "'";
        return std::system(command.c_str()) == 0;
    }

private:
    // The script beside the sources; this header sits in tests/formats/stream.
    static std::string ScriptPath() {
        const std::filesystem::path tests = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
        return (tests / "stream" / "run_icecast.sh").string();
    }

    static bool WaitForReady(int descriptor) {
        const auto deadline = std::chrono::steady_clock::now() + kIcecastStartTime;
        std::string output;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd readable{descriptor, POLLIN, 0};
            if (poll(&readable, 1, 100) <= 0) continue;
            char buffer[256];
            const ssize_t count = read(descriptor, buffer, sizeof buffer);
            if (count <= 0) return false;  // the script ended without the mount
            output.append(buffer, size_t(count));
            if (output.find("ready") != std::string::npos) return true;
        }
        return false;
    }

    // Waits for the script to end, at most `limit`, on a descriptor that
    // becomes readable when it does.
    bool Reaped(std::chrono::milliseconds limit) {
        const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, process_, 0));
        if (descriptor < 0) return false;
        pollfd ended{descriptor, POLLIN, 0};
        const bool exited = poll(&ended, 1, static_cast<int>(limit.count())) > 0;
        close(descriptor);
        return exited && waitpid(process_, nullptr, 0) == process_;
    }

    test::TemporaryDirectory directory_;
    uint16_t port_ = 0;
    pid_t process_ = -1;
    bool ready_ = false;
};

}  // namespace streamtest
