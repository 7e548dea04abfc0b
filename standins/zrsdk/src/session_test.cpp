#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform_fixture.h"

namespace {

// Counts what reaches a login callback.
struct Received {
    std::mutex mutex;
    std::vector<int> types;
};

void Collect(int type, int, void*, unsigned int, void* user) {
    auto* received = static_cast<Received*>(user);
    std::lock_guard<std::mutex> lock(received->mutex);
    received->types.push_back(type);
}

using SessionTest = zrsdk_test::PlatformTest;

TEST_F(SessionTest, LoginChecksAccountsAndIssuesDistinctSessions) {
    int first = 0;
    int second = 0;
    EXPECT_EQ(ZRSDK_Login("operator", "operator", &first), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_Login("supervisor", "supervisor", &second), ZRSDK_OK);
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    int none = 0;
    EXPECT_EQ(ZRSDK_Login("operator", "wrong", &none), ZRSDK_ERR_BAD_LOGIN);
    EXPECT_EQ(ZRSDK_Login("nobody", "operator", &none), ZRSDK_ERR_BAD_LOGIN);
    EXPECT_EQ(ZRSDK_Login(nullptr, "operator", &none), ZRSDK_ERR_INVALID_PARAM);

    zrsdk::control::AddUser({"guard", "secret", "U-0100"});
    int third = 0;
    EXPECT_EQ(ZRSDK_Login("guard", "secret", &third), ZRSDK_OK);
    EXPECT_EQ(zrsdk::control::LoggedInSessions().size(), 4u);  // with the fixture's own

    EXPECT_EQ(ZRSDK_Logout(first), ZRSDK_OK);
    EXPECT_EQ(ZRSDK_Logout(first), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_SetLoginEventCallback(first, Collect, nullptr), ZRSDK_ERR_INVALID_SESSION);
    int count = 0;
    EXPECT_EQ(ZRSDK_QueryChannels(first, nullptr, 0, &count), ZRSDK_ERR_INVALID_SESSION);
    EXPECT_EQ(ZRSDK_QueryChannels(12345, nullptr, 0, &count), ZRSDK_ERR_INVALID_SESSION);
}

TEST_F(SessionTest, QueryChannelsReportsTotalAndFillsOnlyCapacity) {
    const auto defaults = zrsdk::control::DefaultChannels();
    int count = -1;
    ASSERT_EQ(ZRSDK_QueryChannels(session, nullptr, 0, &count), ZRSDK_OK);
    EXPECT_EQ(count, static_cast<int>(defaults.size()));

    // One entry more than the capacity is a guard that must stay untouched.
    std::vector<ZRSDK_CHANNEL_ENTRY> entries(3);
    std::memset(entries.data(), 0xAB, sizeof(ZRSDK_CHANNEL_ENTRY) * entries.size());
    ASSERT_EQ(ZRSDK_QueryChannels(session, entries.data(), 2, &count), ZRSDK_OK);
    EXPECT_EQ(count, static_cast<int>(defaults.size()));
    EXPECT_STREQ(entries[0].code, "ch-0001");
    EXPECT_EQ(entries[0].isPtz, 1);
    EXPECT_STREQ(entries[1].code, "ch-0002");
    EXPECT_STREQ(entries[1].deviceCode, "dev-0002");
    EXPECT_EQ(entries[1].isPtz, 0);
    EXPECT_EQ(static_cast<unsigned char>(entries[2].code[0]), 0xAB);

    zrsdk::control::AddChannel({"ch-0100", "1000100", "Roof", "dev-0009", 4, true});
    EXPECT_TRUE(zrsdk::control::RemoveChannel("ch-0002"));
    std::vector<ZRSDK_CHANNEL_ENTRY> all(10);
    ASSERT_EQ(ZRSDK_QueryChannels(session, all.data(), 10, &count), ZRSDK_OK);
    ASSERT_EQ(count, static_cast<int>(defaults.size()));
    EXPECT_STREQ(all[1].code, "ch-0003");
    EXPECT_STREQ(all[count - 1].code, "ch-0100");
    EXPECT_EQ(all[count - 1].channelNo, 4);
    EXPECT_EQ(ZRSDK_QueryChannels(session, nullptr, 2, &count), ZRSDK_ERR_INVALID_PARAM);
    EXPECT_EQ(ZRSDK_QueryChannels(session, all.data(), 2, nullptr), ZRSDK_ERR_INVALID_PARAM);
}

TEST_F(SessionTest, EventsWithoutCallbackOrSessionAreDroppedNotDelivered) {
    const auto before = zrsdk::control::GetEventCounters();
    const char text[] = "x";
    EXPECT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(zrsdk::control::WaitEventsDelivered());
    EXPECT_EQ(zrsdk::control::GetEventCounters().dropped, before.dropped + 1);

    Received received;
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, Collect, &received), ZRSDK_OK);
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, nullptr, nullptr), ZRSDK_OK);
    EXPECT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    ASSERT_TRUE(zrsdk::control::WaitEventsDelivered());
    ASSERT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
    EXPECT_FALSE(zrsdk::control::PushLoginEvent(session, 40, 0, text, sizeof(text)));
    std::lock_guard<std::mutex> lock(received.mutex);
    EXPECT_TRUE(received.types.empty());
}

// A callback that is running when its session logs out finishes before
// Logout returns, so the owner may free what the callback uses right after.
TEST_F(SessionTest, LogoutWaitsForTheRunningCallback) {
    struct Gate {
        std::mutex mutex;
        std::condition_variable cv;
        bool entered = false;
        bool release = false;
        bool finished = false;
    } gate;
    auto blocking = [](int, int, void*, unsigned int, void* user) {
        auto* g = static_cast<Gate*>(user);
        std::unique_lock<std::mutex> lock(g->mutex);
        g->entered = true;
        g->cv.notify_all();
        g->cv.wait(lock, [&] { return g->release; });
        g->finished = true;
    };
    ASSERT_EQ(ZRSDK_SetLoginEventCallback(session, blocking, &gate), ZRSDK_OK);
    ASSERT_TRUE(zrsdk::control::PushLoginEvent(session, 40, 0, "a", 1));
    {
        std::unique_lock<std::mutex> lock(gate.mutex);
        gate.cv.wait(lock, [&] { return gate.entered; });
    }
    std::thread releaser([&] {
        std::lock_guard<std::mutex> lock(gate.mutex);
        gate.release = true;
        gate.cv.notify_all();
    });
    EXPECT_EQ(ZRSDK_Logout(session), ZRSDK_OK);
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        EXPECT_TRUE(gate.finished);
    }
    releaser.join();
}

}  // namespace
