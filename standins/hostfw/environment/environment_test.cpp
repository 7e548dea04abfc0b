#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <tlhelp32.h>
#else
#include <filesystem>
#endif

#include "accountlogic/login_manager.h"
#include "accountlogic/login_param.h"
#include "accountlogic/user_manager.h"
#include "datahub/observer.h"
#include "hostfw/environment.h"
#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "resourcetree/group_manager.h"
#include "taskhub/message_loop.h"
#include "vkl/timer.h"
#include "zrsdk/zrsdk_control.h"

namespace {

namespace control = zrsdk::control;

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override { control::ResetAll(); }
    void TearDown() override { control::ResetAll(); }
};

Taskhub::CTask* Task(boost::function<void()> f) { return new Taskhub::CFunctionTask(f, false); }

// Takes each login event through the SDK pool and the UI loop, the road a
// logic plug-in's events take, and records the text; notes one that ended
// on another thread than the UI loop's or than the one that made the relay.
class RelayObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override {
        auto login = std::static_pointer_cast<AccountLogic::CLoginParam>(param);
        std::string text(static_cast<const char*>(login->GetEventBuf()), login->GetBufSize());
        Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
            "CDeviceCommunicate", Task([this, text] {
                Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(Task([this, text] {
                    std::lock_guard<std::mutex> lock(mutex);
                    texts.push_back(text);
                    if (!Taskhub::Host::IsUIThread() || std::this_thread::get_id() != maker) strayed = true;
                }));
            }));
    }
    const std::thread::id maker = std::this_thread::get_id();
    std::mutex mutex;
    std::vector<std::string> texts;
    bool strayed = false;
};

// Without a UI thread, WaitIdle itself runs the UI tasks on the calling
// thread, and one wait covers the SDK's queue, the login delivery, the pool
// and the UI loop.
TEST_F(EnvironmentTest, WaitIdlePumpsTheUILoopForAHostWithoutUIThread) {
    hostfw::EnvironmentOptions options;
    options.uiLoopThread = false;
    options.poolThreads = 2;
    hostfw::Environment env(options);
    RelayObserver relay;
    ASSERT_TRUE(env.LoginManager()->RegisterObserver(&relay));
    std::vector<std::string> pushed;
    for (int i = 0; i < 200; ++i) {
        pushed.push_back("ev" + std::to_string(i));
        ASSERT_TRUE(control::PushLoginEvent(env.SessionId(), 167, 0, pushed.back().data(), pushed.back().size()));
    }
    ASSERT_TRUE(env.WaitIdle());
    env.LoginManager()->UnRegisterObserver(&relay);

    std::lock_guard<std::mutex> lock(relay.mutex);
    EXPECT_EQ(relay.texts, pushed);  // one key: in order
    EXPECT_FALSE(relay.strayed);
}

// How the pool drains and then refuses: the Taskhub tests.
TEST_F(EnvironmentTest, ShutdownLogsOutOnce) {
    hostfw::Environment env;
    ASSERT_THAT(control::LoggedInSessions(), ::testing::Contains(env.SessionId()));
    env.Shutdown();
    EXPECT_THAT(control::LoggedInSessions(), ::testing::Not(::testing::Contains(env.SessionId())));
    env.Shutdown();  // a second time is harmless
    EXPECT_FALSE(Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask("PTZ", Task([] {})));
}

TEST_F(EnvironmentTest, ABadPasswordLeavesNobodyLoggedIn) {
    vkl::Host::SetLogLevel(7);
    hostfw::EnvironmentOptions options;
    options.password = "wrong";
    hostfw::Environment env(options);
    vkl::Host::SetLogLevel(1);
    EXPECT_EQ(env.SessionId(), 0);
    EXPECT_EQ(env.UserManager()->GetUserSessionId(), 0);
    ResourceTree::ChannelInfo info;
    EXPECT_FALSE(env.GroupManager()->GetChannelInfoByCode(control::DefaultChannels()[0].code, info));
    EXPECT_TRUE(env.WaitIdle());
}

// The threads of this process now.
std::size_t ThreadCount() {
    std::size_t count = 0;
#if defined(_WIN32)
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
#else
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)task;
        ++count;
    }
#endif
    return count;
}

// A thread that was joined may still be listed for a moment: the count once
// it is at most the expected one, or the last count after a few seconds.
std::size_t SettledThreadCount(std::size_t expected) {
    std::size_t count = ThreadCount();
    for (int i = 0; i < 500 && count > expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        count = ThreadCount();
    }
    return count;
}

class CountingTimer : public vkl::DTimerHandler {
public:
    void OnTimerEvent(unsigned int) override { ++ticks; }
    std::atomic<int> ticks{0};
};

// What a program does last before main returns. Every thread of the host
// framework and of the SDK is running here (pool, UI loop, login delivery,
// timer, platform events, lock ticker); after StopHostThreads none is, even
// with an environment never shut down, and the next use starts them again.
TEST_F(EnvironmentTest, StopHostThreadsLeavesNoThreadOfTheHostOrTheSdkRunning) {
    // No SCOPED_TRACE here: on Windows GoogleTest's first one starts a
    // thread of its own, which would count.
    hostfw::StopHostThreads();
    // A runtime may start a helper thread of its own when the program makes
    // its first thread (ThreadSanitizer does): let that happen before counting.
    std::thread([] {}).join();
    const std::size_t alone = ThreadCount();
    for (int round = 0; round < 2; ++round) {
        auto env = std::make_unique<hostfw::Environment>();
        RelayObserver relay;
        ASSERT_TRUE(env->LoginManager()->RegisterObserver(&relay));
        control::UseRealPlatformClock(true);
        vkl::DTimerMgr timers;
        vkl::DRefPtr<CountingTimer> timer(new CountingTimer);
        ASSERT_EQ(timers.StartTimer(timers.CreateTimer(timer.get()), 1), 0);
        const std::string text = "round" + std::to_string(round);
        ASSERT_TRUE(control::PushLoginEvent(env->SessionId(), 167, 0, text.data(), text.size()));
        ASSERT_TRUE(env->WaitIdle());
        while (timer->ticks == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        {
            std::lock_guard<std::mutex> lock(relay.mutex);
            EXPECT_EQ(relay.texts, std::vector<std::string>{text});
        }
        EXPECT_GE(ThreadCount(), alone + 8) << "round " << round;
        env->LoginManager()->UnRegisterObserver(&relay);

        if (round == 0) env.reset();  // the second round leaves it to the end
        hostfw::StopHostThreads();
        const int ticks = timer->ticks;
        const std::size_t left = alone + (env ? 1 : 0);  // a live environment keeps its login delivery
        EXPECT_LE(SettledThreadCount(left), left) << "round " << round;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(timer->ticks, ticks) << "a 1-ms timer, but no timer thread";
        control::UseRealPlatformClock(false);
        env.reset();
        EXPECT_LE(SettledThreadCount(alone), alone) << "round " << round;
    }
}

}  // namespace
