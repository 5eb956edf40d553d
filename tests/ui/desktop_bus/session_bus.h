#pragma once

// A private session bus for the test process, and programs run against it
// while the player's loop turns.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace test {

// A child program with its standard output on a pipe; standard error is kept.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        output_ = fds[0];
        fcntl(output_, F_SETFL, O_NONBLOCK);
    }
    ~ChildProcess() {
        if (pid_ > 0 && !exitStatus_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // Reads what the child wrote so far; true once it has ended.
    bool Finished() {
        Drain();
        if (pid_ <= 0 || exitStatus_) return true;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        Drain();
        return true;
    }
    int ExitStatus() const { return exitStatus_.value_or(-1); }
    const std::string& Output() const { return text_; }

    // Waits at most `timeoutMs` for a first line of output (without its newline).
    std::optional<std::string> FirstLine(int timeoutMs) {
        pollfd fd{output_, POLLIN, 0};
        while (text_.find('\n') == std::string::npos) {
            if (poll(&fd, 1, timeoutMs) <= 0) return std::nullopt;
            if (!Drain()) return std::nullopt;
        }
        return text_.substr(0, text_.find('\n'));
    }

private:
    // False at the end of the output.
    bool Drain() {
        char buffer[4096];
        for (;;) {
            const ssize_t count = read(output_, buffer, sizeof buffer);
            if (count > 0) {
                text_.append(buffer, static_cast<size_t>(count));
                continue;
            }
            return count < 0;
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string text_;
    std::optional<int> exitStatus_;
};

// A dbus-daemon of the test's own; the process's session bus while it lives.
class PrivateSessionBus {
public:
    PrivateSessionBus() : daemon_({"dbus-daemon", "--session", "--nofork", "--print-address=1"}) {
        if (const char* previous = std::getenv("DBUS_SESSION_BUS_ADDRESS")) previous_ = previous;
        const std::optional<std::string> address = daemon_.FirstLine(10000);
        if (!address) return;
        address_ = *address;
        setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateSessionBus() {
        if (previous_) {
            setenv("DBUS_SESSION_BUS_ADDRESS", previous_->c_str(), 1);
        } else {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon did not start.
    const std::string& Address() const { return address_; }

private:
    ChildProcess daemon_;
    std::optional<std::string> previous_;
    std::string address_;
};

}  // namespace test
