#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "accountlogic/login_manager.h"
#include "accountlogic/login_param.h"
#include "accountlogic/user_manager.h"
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

}  // namespace
