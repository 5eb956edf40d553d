#include "tests/support/watchdog.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace test {

void RunWithWatchdog(std::chrono::milliseconds limit, const std::string& what, const std::function<void()>& action) {
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&action, &finished] {
        action();
        finished.set_value();
    });
    if (done.wait_for(limit) == std::future_status::ready) {
        worker.join();
        return;
    }
    ADD_FAILURE() << what << " did not finish within " << limit.count() << " ms";
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace test
