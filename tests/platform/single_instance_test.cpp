#include "platform/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/watchdog.h"

namespace {

constexpr size_t kLimit = 4096;
constexpr auto kPatience = std::chrono::seconds(10);

// The requests the running instance received, in order.
class Inbox {
public:
    void Take(std::string request) {
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(std::move(request));
        }
        arrived_.notify_all();
    }
    // Waits until `count` requests have arrived; what has by then.
    std::vector<std::string> WaitFor(size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, kPatience, [&] { return requests_.size() >= count; });
        return requests_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> requests_;
};

// The first start, listening, and a way for later starts to find it.
class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(first_.Acquire());
        first_.Listen(kLimit, [this](std::string request) { inbox_.Take(std::move(request)); });
    }

    bool SendFromLaterStart(const std::string& request) {
        platform::SingleInstance later("tunelark", directory_.Directory());
        EXPECT_FALSE(later.Acquire()) << "the first one holds the lock";
        return later.SendToRunningInstance(request);
    }

    // A peer that connects and stays silent until it is closed.
    int ConnectSilently() {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = directory_.Directory() + "/tunelark.socket";
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
        EXPECT_EQ(::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return handle;
    }

    test::TemporaryFile directory_{{}};
    Inbox inbox_;
    // Goes first, so the listener is gone before the inbox.
    platform::SingleInstance first_{"tunelark", directory_.Directory()};
};

TEST_F(SingleInstanceTest, LaterStartsHandTheirRequestsOverWholeUpToTheLimit) {
    struct Case {
        std::string request;
        bool arrives;
    };
    const Case cases[] = {
        {"", true},
        {std::string("two\0bytes\n", 10), true},
        {std::string(kLimit, 'x'), true},
        {std::string(kLimit + 1, 'y'), false},
        {std::string(20 * kLimit, 'z'), false},
    };
    std::vector<std::string> expected;
    for (const auto& [request, arrives] : cases) {
        // Dropped or not, the next request after it comes through.
        SendFromLaterStart(request);
        if (arrives) expected.push_back(request);
        EXPECT_TRUE(SendFromLaterStart("after")) << request.size();
        expected.push_back("after");
    }
    EXPECT_EQ(inbox_.WaitFor(expected.size()), expected);
}

TEST(SingleInstance, TheLockIsFreeAgainOnceTheFirstEnds) {
    test::TemporaryFile directory({});
    {
        platform::SingleInstance first("tunelark", directory.Directory());
        ASSERT_TRUE(first.Acquire());
        platform::SingleInstance second("tunelark", directory.Directory());
        EXPECT_FALSE(second.Acquire());
    }
    platform::SingleInstance next("tunelark", directory.Directory());
    EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, ARequestNoOneListensForIsNotTaken) {
    test::TemporaryFile directory({});
    platform::SingleInstance first("tunelark", directory.Directory());
    ASSERT_TRUE(first.Acquire());
    platform::SingleInstance later("tunelark", directory.Directory());
    ASSERT_FALSE(later.Acquire());
    // The first one listens on its socket but never reads: the later start
    // gives up after its time rather than waiting for ever.
    EXPECT_FALSE(later.SendToRunningInstance("hello"));

    test::TemporaryFile empty({});
    platform::SingleInstance nobody("tunelark", empty.Directory());
    EXPECT_FALSE(nobody.SendToRunningInstance("hello")) << "no socket to reach";
}

TEST_F(SingleInstanceTest, ASilentPeerDoesNotKeepStoppingOrLaterStartsWaiting) {
    const int silent = ConnectSilently();
    // The listener gives up on the silent peer and takes the next request.
    EXPECT_TRUE(SendFromLaterStart("next"));
    EXPECT_EQ(inbox_.WaitFor(1), std::vector<std::string>{"next"});
    const int stalled = ConnectSilently();
    test::RunWithWatchdog(std::chrono::milliseconds(2000), "stopping while a peer stalls",
                          [this] { first_.StopListening(); });
    ::close(silent);
    ::close(stalled);
}

}  // namespace
