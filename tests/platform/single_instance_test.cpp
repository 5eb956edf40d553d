#include "platform/single_instance.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"

namespace {

TEST(SingleInstance, SecondStartRaisesTheFirstAndGivesUp) {
    test::TemporaryFile directory({});
    platform::SingleInstance first("tunelark", directory.Directory());
    ASSERT_TRUE(first.Acquire());

    // A second process, as a second start of the player would be.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::SingleInstance second("tunelark", directory.Directory());
        _exit(second.Acquire() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second start must give up";

    // Its request waited in the socket until the first one listened.
    std::atomic<int> raises{0};
    first.ListenForRaise([&raises] { ++raises; });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (raises == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(raises.load(), 1);
}

TEST(SingleInstance, TheLockIsFreeAgainOnceTheFirstEnds) {
    test::TemporaryFile directory({});
    {
        platform::SingleInstance first("tunelark", directory.Directory());
        ASSERT_TRUE(first.Acquire());
    }
    platform::SingleInstance next("tunelark", directory.Directory());
    EXPECT_TRUE(next.Acquire());
}

}  // namespace
