#include "platform/event.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/recording_window.h"

namespace {

TEST(Event, ManualResetWakesEveryWaiterUntilReset) {
    platform::Event event;
    EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(1)));
    std::thread first([&] { event.Wait(); });
    std::thread second([&] { event.Wait(); });
    event.Set();
    first.join();
    second.join();
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

TEST(RecordingWindow, KeepsMessagesInOrderAndWakesWaiters) {
    platform::RecordingWindow window;
    std::thread poster([&] {
        window.PostMessage(1, 10, 0);
        window.PostMessage(2, 20, -1);
    });
    const auto found = window.WaitFor([](const platform::PostedMessage& m) { return m.message == 2; },
                                      std::chrono::seconds(10));
    poster.join();
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->lParam, -1);
    const auto messages = window.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].wParam, 10u);
    EXPECT_EQ(window.MessagesOf(1).size(), 1u);
}

}  // namespace
