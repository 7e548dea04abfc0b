#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "accountlogic/login_manager.h"
#include "accountlogic/login_param.h"
#include "accountlogic/user_manager.h"
#include "datahub/interface_set_manager.h"
#include "datahub/observer.h"
#include "hostfw/environment.h"
#include "hostfw/taskhub_host.h"
#include "hostfw/vkl_host.h"
#include "resourcetree/group_manager.h"
#include "taskhub/message_loop.h"
#include "zrsdk/zrsdk_control.h"

namespace {

namespace control = zrsdk::control;

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override { control::ResetAll(); }
    void TearDown() override { control::ResetAll(); }
};

bool LoggedIn(int session) {
    const auto sessions = control::LoggedInSessions();
    return std::find(sessions.begin(), sessions.end(), session) != sessions.end();
}

TEST_F(EnvironmentTest, LogsInAndOffersTheSiblingPlugins) {
    int session = 0;
    {
        hostfw::Environment env;
        session = env.SessionId();
        ASSERT_NE(session, 0);
        EXPECT_TRUE(LoggedIn(session));

        Datahub::CInterfaceSetManager set;
        ASSERT_TRUE(set.AddLogicalPlugin(env.AccountPlugin()));
        ASSERT_TRUE(set.AddLogicalPlugin(env.ResourceTreePlugin()));
        EXPECT_EQ(env.UserManager()->GetUserSessionId(), session);
        ASSERT_EQ(set.GetGroupManagerExternal(), env.GroupManager());
        ResourceTree::ChannelInfo info;
        EXPECT_TRUE(env.GroupManager()->GetChannelInfoByCode(control::DefaultChannels()[0].code, info));
        EXPECT_TRUE(env.WaitIdle());
    }
    EXPECT_FALSE(LoggedIn(session));
}

// Takes each login event through the SDK pool and the UI loop, the road a
// logic plug-in's events take, and records where it ended.
class RelayObserver : public Datahub::IObserver {
public:
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override {
        auto login = std::static_pointer_cast<AccountLogic::CLoginParam>(param);
        std::string text(static_cast<const char*>(login->GetEventBuf()), login->GetBufSize());
        Post("CDeviceCommunicate", [this, text] {
            PostUI([this, text] {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_texts.push_back(text);
                if (!Taskhub::Host::IsUIThread()) m_offUiThread = true;
                m_uiThreads.push_back(std::this_thread::get_id());
            });
        });
    }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }
    std::vector<std::thread::id> UiThreads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_uiThreads;
    }
    bool OffUiThread() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_offUiThread;
    }

private:
    static void Post(const std::string& key, boost::function<void()> f) {
        Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
            key, new Taskhub::CFunctionTask(f, false));
    }
    static void PostUI(boost::function<void()> f) {
        Taskhub::CSingleton<Taskhub::CMessageLoopForUI>::GetInstance()->PostTask(
            new Taskhub::CFunctionTask(f, false));
    }
    std::mutex m_mutex;
    std::vector<std::string> m_texts;
    std::vector<std::thread::id> m_uiThreads;
    bool m_offUiThread = false;
};

void RunRelay(hostfw::Environment& env, bool expectCallerIsUi) {
    RelayObserver relay;
    ASSERT_TRUE(env.LoginManager()->RegisterObserver(&relay));
    constexpr int kEvents = 200;
    for (int i = 0; i < kEvents; ++i) {
        const std::string text = "ev" + std::to_string(i);
        ASSERT_TRUE(control::PushLoginEvent(env.SessionId(), 167, 0, text.data(), text.size()));
    }
    // One wait covers the SDK's queue, the login delivery, the pool and the UI loop.
    ASSERT_TRUE(env.WaitIdle());
    env.LoginManager()->UnRegisterObserver(&relay);

    const auto texts = relay.Texts();
    ASSERT_EQ(texts.size(), std::size_t(kEvents));
    for (int i = 0; i < kEvents; ++i) EXPECT_EQ(texts[i], "ev" + std::to_string(i));  // one key: in order
    EXPECT_FALSE(relay.OffUiThread());
    const bool onCaller = relay.UiThreads()[0] == std::this_thread::get_id();
    EXPECT_EQ(onCaller, expectCallerIsUi);
}

TEST_F(EnvironmentTest, WaitIdleCoversEveryStageWithAUIThread) {
    hostfw::Environment env;
    RunRelay(env, false);
}

TEST_F(EnvironmentTest, WaitIdlePumpsTheUILoopForAHostWithoutUIThread) {
    hostfw::EnvironmentOptions options;
    options.uiLoopThread = false;
    options.poolThreads = 2;
    hostfw::Environment env(options);
    RunRelay(env, true);
}

TEST_F(EnvironmentTest, ShutdownDrainsStopsAndRefusesLaterTasks) {
    std::atomic<int> ran{0};
    hostfw::Environment env;
    for (int i = 0; i < 50; ++i) {
        Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
            "PTZ", new Taskhub::CFunctionTask([&] { ++ran; }, false));
    }
    env.Shutdown();
    EXPECT_EQ(ran.load(), 50);
    EXPECT_FALSE(LoggedIn(env.SessionId()));
    EXPECT_FALSE(Taskhub::CSingleton<Taskhub::CMessageLoopPoolForSDK>::GetInstance()->PostTask(
        "PTZ", new Taskhub::CFunctionTask([&] { ++ran; }, false)));
    env.Shutdown();  // a second time is harmless
    EXPECT_EQ(ran.load(), 50);
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

}  // namespace
