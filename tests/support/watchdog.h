#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace test {

// Runs `action` on a thread of its own and waits at most `limit` for it. When
// it does not return in time, the test fails and its program ends at once: a
// stuck thread can be neither joined nor left behind, and the rest of the
// suite must not hang with it. Tear down inside `action` what could hang.
void RunWithWatchdog(std::chrono::milliseconds limit, const std::string& what, const std::function<void()>& action);

}  // namespace test
