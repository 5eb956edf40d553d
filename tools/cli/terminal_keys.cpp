#include "tools/cli/terminal_keys.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

termios savedSettings;
volatile std::sig_atomic_t settingsSaved = 0;

void RestoreTerminal() {
    if (settingsSaved) tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
}

// Ctrl-C and kill must not leave the terminal without echo.
void RestoreAndExit(int signalNumber) {
    RestoreTerminal();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

bool ReadByte(unsigned char& byte, int timeoutMs) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, timeoutMs) <= 0) return false;
    return read(STDIN_FILENO, &byte, 1) == 1;
}

}  // namespace

TerminalKeys::TerminalKeys() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedSettings) != 0) return;
    settingsSaved = 1;
    termios raw = savedSettings;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    std::signal(SIGINT, RestoreAndExit);
    std::signal(SIGTERM, RestoreAndExit);
    interactive_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

TerminalKeys::~TerminalKeys() {
    RestoreTerminal();
    settingsSaved = 0;
}

TerminalKeys::Key TerminalKeys::Read(std::chrono::milliseconds timeout) {
    if (!interactive_) {
        std::this_thread::sleep_for(timeout);
        return kNone;
    }
    unsigned char byte = 0;
    if (!ReadByte(byte, static_cast<int>(timeout.count()))) return kNone;
    switch (byte) {
        case ' ': return kSpace;
        case 'n': case 'N': return kNext;
        case 'q': case 'Q': return kQuit;
        case 0x1B: {
            // Arrow keys arrive as ESC [ C (right) and ESC [ D (left).
            unsigned char bracket = 0;
            unsigned char code = 0;
            if (!ReadByte(bracket, 50) || bracket != '[' || !ReadByte(code, 50)) return kOther;
            if (code == 'C') return kRight;
            if (code == 'D') return kLeft;
            return kOther;
        }
        default: return kOther;
    }
}
