// Starting and stopping while the outside world keeps going.
//
// - Events that the login manager delivers while Init or UnInit runs reach
//   the observers at most once each, in order, or are dropped; once UnInit
//   has returned and the queues have drained, no event reaches anybody.
// - UnInit while requests wait in the pool and the lock timer ticks: every
//   request still reports exactly one result (the platform's answer, or -1
//   for one that ran after UnInit); the timer sends no expiry afterwards.
// - The plug-in destroyed without UnInit while events flow: nothing reaches
//   the dead object.
#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "accountlogic/login_manager.h"
#include "hostfw/vkl_host.h"
#include "kestrel/device_function_param.h"
#include "kestrel/ptz_param.h"
#include "kestrel_fixture.h"
#include "zrsdk/zrsdk_control.h"

namespace Kestrel {
namespace {

using kestrel_test::Received;
namespace control = zrsdk::control;

// Traffic real-time alarms whose texts are their numbers: "n=<number>".
std::vector<control::LoginEventData> NumberedAlarms(int from, int count) {
    std::vector<control::LoginEventData> alarms;
    for (int i = from; i < from + count; ++i) alarms.push_back(control::MakeTrafficRealAlarm("n=" + std::to_string(i)));
    return alarms;
}

// The numbers of the alarms received, in arrival order.
std::vector<int> Numbers(const std::vector<Received>& received) {
    std::vector<int> numbers;
    for (const Received& r : received) {
        if (r.param->GetEventType() != CDeviceFunctionParam::DEVICE_EVENT_TRAFFIC_REAL_ALARM) continue;
        const std::string text = r.As<CDeviceFunctionParam>()->GetTrafficRealAlarmInfo().payloadText;
        numbers.push_back(text.rfind("n=", 0) == 0 ? std::stoi(text.substr(2)) : -1);
    }
    return numbers;
}

using LifecycleFaultsTest = kestrel_test::KestrelFixture;

TEST_F(LifecycleFaultsTest, EventsDeliveredWhileInitAndUnInitRunAreNeitherDuplicatedNorReordered) {
    constexpr int kEvents = 3000;
    ASSERT_TRUE(control::PushStream(m_env->SessionId(), NumberedAlarms(0, kEvents), 20000));

    // Stop and start again and again while the stream is delivered; the
    // observer follows each new worker.
    int cycles = 0;
    while (!control::WaitEventsDelivered(std::chrono::milliseconds(0)) && cycles < 200) {
        m_kestrel->UnInit();
        ASSERT_TRUE(m_kestrel->Init());
        Device()->RegisterObserver(&m_deviceObserver);
        ++cycles;
    }
    WaitIdle();
    const std::vector<int> numbers = Numbers(m_deviceObserver.All());
    for (std::size_t i = 1; i < numbers.size(); ++i)
        ASSERT_LT(numbers[i - 1], numbers[i]) << "each event at most once, in push order";
    EXPECT_GT(cycles, 0);

    // Everything pushed while it runs arrives; after UnInit nothing does.
    const std::size_t before = m_deviceObserver.Count();
    ASSERT_TRUE(control::PushStream(m_env->SessionId(), NumberedAlarms(kEvents, 2)));
    WaitIdle();
    EXPECT_EQ(m_deviceObserver.Count(), before + 2);
    m_kestrel->UnInit();
    WaitIdle();
    ASSERT_TRUE(control::PushStream(m_env->SessionId(), NumberedAlarms(kEvents + 2, 1)));
    WaitIdle();
    EXPECT_EQ(m_deviceObserver.Count(), before + 2);
    ASSERT_TRUE(m_kestrel->Init());  // for TearDown
}

TEST_F(LifecycleFaultsTest, UnInitWithRequestsQueuedAndTheLockTimerTickingAnswersEveryRequestOnce) {
    UseManualClock();
    control::SetLatency("ZRSDK_PtzOperateDirect", std::chrono::milliseconds(2));
    control::SetLatency("ZRSDK_StartRemoteRecord", std::chrono::milliseconds(2));

    // Locks that expire at once, so that every tick posts expiry notices
    // and releases.
    for (const char* code : {"ch-0001", "ch-0003", "ch-0005"}) Ptz()->SetLock(code, LOCK_PTZ, 0, "menu.ptz", 1);
    WaitIdle();
    ASSERT_TRUE(Ptz()->IsLock("ch-0001"));

    std::atomic<bool> ticking{true};
    std::thread clock([&] {
        for (int i = 0; i < 2000 && ticking.load(); ++i) {
            vkl::Host::AdvanceClock(1000);
            std::this_thread::yield();
        }
    });

    // Requests on the "PTZ" and "CDeviceCommunicate" keys, and new locks
    // now and then so that the timer is still running when UnInit comes.
    std::multiset<int> seqs;
    std::set<int> lockSeqs;
    const char* ptzChannels[] = {"ch-0001", "ch-0003", "ch-0005"};
    for (int i = 0; i < 200; ++i) {
        seqs.insert(Ptz()->PtzDirection("ch-0001", DIRECTION_UP, i % 2 == 0, 1, "menu.ptz"));
        Device()->StartRecord("ch-000" + std::to_string(1 + i % 4), i, 0, "", "menu.record");
        if (i % 10 == 0) lockSeqs.insert(Ptz()->SetLock(ptzChannels[i % 3], LOCK_PTZ, 0, "menu.ptz", 1));
    }
    m_kestrel->UnInit();
    ticking = false;
    clock.join();
    WaitIdle();

    // Each request: one result, the platform's or -1.
    EXPECT_EQ(m_ptzObserver.Seqs<CPtzParam>(CPtzParam::PTZ_EVENT_DIRECTION), seqs);
    for (int result : m_ptzObserver.Results(CPtzParam::PTZ_EVENT_DIRECTION)) EXPECT_TRUE(result == 0 || result == -1);
    EXPECT_EQ(m_deviceObserver.OfType(CDeviceFunctionParam::DEVICE_EVENT_START_RECORD).size(), 200u);

    // Every lock request and every expiry notice got its answer, once.
    const std::multiset<int> lockAnswers = m_ptzObserver.Seqs<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK);
    for (int seq : lockSeqs) EXPECT_EQ(lockAnswers.count(seq), 1u) << "lock seq " << seq;
    for (int seq : m_ptzObserver.Seqs<CPtzParam>(CPtzParam::PTZ_EVENT_LOCK_EXPIRED))
        EXPECT_EQ(lockAnswers.count(seq), 1u) << "release seq " << seq;

    // The timer is gone with UnInit: more time passes, nothing more comes.
    const std::size_t settled = m_ptzObserver.Count();
    for (int i = 0; i < 5; ++i) vkl::Host::AdvanceClock(1000);
    WaitIdle();
    EXPECT_EQ(m_ptzObserver.Count(), settled);
    EXPECT_FALSE(Ptz()->IsLock("ch-0001"));
    control::ClearFaults();
    ASSERT_TRUE(m_kestrel->Init());  // for TearDown
}

// The login manager goes on delivering to its other observers; under
// AddressSanitizer a delivery to the destroyed delegate would be caught.
TEST_F(LifecycleFaultsTest, PluginDestroyedWithoutUnInitWhileEventsFlow) {
    kestrel_test::RecordingObserver probe;
    ASSERT_TRUE(m_env->LoginManager()->RegisterObserver(&probe));
    constexpr int kEvents = 2000;
    ASSERT_TRUE(control::PushStream(m_env->SessionId(), NumberedAlarms(0, kEvents), 50000));
    m_kestrel.reset();  // its destructor withdraws the login registration
    WaitIdle();
    EXPECT_EQ(probe.Count(), static_cast<std::size_t>(kEvents));
    m_env->LoginManager()->UnRegisterObserver(&probe);
}

}  // namespace
}  // namespace Kestrel
