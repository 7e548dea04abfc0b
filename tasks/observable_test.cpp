#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "datahub/observer.h"
#include "tasks/observable.h"

namespace Kestrel {
namespace {

using Observable = Taskhub::CObservable<Datahub::IObserver>;

class Log : public Datahub::IObserver {
public:
    Log(std::vector<std::pair<int, const Datahub::BaseParam*>>& out, int id) : m_out(out), m_id(id) {}
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override { m_out.emplace_back(m_id, param.get()); }

private:
    std::vector<std::pair<int, const Datahub::BaseParam*>>& m_out;
    int m_id;
};

void Notify(Observable& observable, const std::shared_ptr<Datahub::BaseParam>& param) {
    observable.NotifyObservers(&Datahub::IObserver::OnNotify, param);
}

TEST(ObservableTest, RegistrationOrderDuplicatesAndRemoval) {
    std::vector<std::pair<int, const Datahub::BaseParam*>> calls;
    Log first(calls, 1), second(calls, 2), stranger(calls, 3);
    Observable observable;

    EXPECT_FALSE(observable.AddObserver(nullptr));
    EXPECT_TRUE(observable.AddObserver(&first));
    EXPECT_TRUE(observable.AddObserver(&second));
    EXPECT_TRUE(observable.AddObserver(&first));
    EXPECT_TRUE(observable.RemoveObserver(&stranger));
    EXPECT_EQ(observable.ObserverCount(), 3u);

    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 0);
    Notify(observable, param);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].first, 1);
    EXPECT_EQ(calls[1].first, 2);
    EXPECT_EQ(calls[2].first, 1);
    for (const auto& call : calls) EXPECT_EQ(call.second, param.get());

    // One removal takes away one registration, the first.
    calls.clear();
    EXPECT_TRUE(observable.RemoveObserver(&first));
    Notify(observable, param);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].first, 2);
    EXPECT_EQ(calls[1].first, 1);
}

// An observer that changes the list from inside its notification neither
// deadlocks nor disturbs the walk in progress.
TEST(ObservableTest, ChangesFromInsideANotificationApplyToTheNextOne) {
    Observable observable;
    struct SelfRemoving : Datahub::IObserver {
        Observable* owner = nullptr;
        Datahub::IObserver* other = nullptr;
        int calls = 0;
        void OnNotify(std::shared_ptr<Datahub::BaseParam>) override {
            ++calls;
            owner->RemoveObserver(this);
            owner->AddObserver(other);
        }
    } remover;
    struct Counter : Datahub::IObserver {
        int calls = 0;
        void OnNotify(std::shared_ptr<Datahub::BaseParam>) override { ++calls; }
    } counter;
    remover.owner = &observable;
    remover.other = &counter;
    observable.AddObserver(&remover);
    observable.AddObserver(&counter);

    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 0);
    Notify(observable, param);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_EQ(counter.calls, 1);
    Notify(observable, param);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_EQ(counter.calls, 3);  // registered twice now
}

// Once RemoveObserver returns on another thread, the observer is not being
// called any more: removal waits for a delivery in progress.
TEST(ObservableTest, RemovalWaitsForADeliveryInProgress) {
    Observable observable;
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> inside{false};
    struct Blocking : Datahub::IObserver {
        std::promise<void>* entered;
        std::shared_future<void> released;
        std::atomic<bool>* inside;
        void OnNotify(std::shared_ptr<Datahub::BaseParam>) override {
            inside->store(true);
            entered->set_value();
            released.wait();
            inside->store(false);
        }
    } blocking;
    blocking.entered = &entered;
    blocking.released = released;
    blocking.inside = &inside;
    observable.AddObserver(&blocking);

    std::thread deliverer([&] { Notify(observable, std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 0)); });
    entered.get_future().wait();
    std::atomic<bool> removing{false};
    std::atomic<bool> removed{false};
    std::thread remover([&] {
        removing = true;
        observable.RemoveObserver(&blocking);
        EXPECT_FALSE(inside.load());
        removed = true;
    });
    // The removal has started while the delivery is held: given time to go
    // through, it must still be waiting.
    while (!removing.load()) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(removed.load());
    release.set_value();
    remover.join();
    deliverer.join();
    EXPECT_TRUE(removed.load());
    EXPECT_EQ(observable.ObserverCount(), 0u);
}

}  // namespace
}  // namespace Kestrel
