#pragma once

#include <chrono>

// Single key presses from the terminal, without echo or line buffering, for
// as long as the object lives. Without a terminal on standard input it does
// nothing and never reports a key.
class TerminalKeys {
public:
    enum Key { kNone, kSpace, kLeft, kRight, kNext, kQuit, kOther };

    TerminalKeys();
    ~TerminalKeys();
    TerminalKeys(const TerminalKeys&) = delete;
    TerminalKeys& operator=(const TerminalKeys&) = delete;

    bool Interactive() const { return interactive_; }
    // Waits at most `timeout` for a key.
    Key Read(std::chrono::milliseconds timeout);

private:
    bool interactive_ = false;
};
