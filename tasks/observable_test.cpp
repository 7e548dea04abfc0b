#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kestrel/ptz_param.h"
#include "datahub/observer.h"
#include "tasks/observable.h"

namespace Kestrel {
namespace {

using Observable = Taskhub::CObservable<Datahub::IObserver>;

// An observer that hands each notification to a function.
struct Calling : Datahub::IObserver {
    explicit Calling(std::function<void(const Datahub::BaseParam*)> call) : m_call(std::move(call)) {}
    void OnNotify(std::shared_ptr<Datahub::BaseParam> param) override { m_call(param.get()); }
    std::function<void(const Datahub::BaseParam*)> m_call;
};

void Notify(Observable& observable) {
    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 0);
    observable.NotifyObservers(&Datahub::IObserver::OnNotify, param);
}

TEST(ObservableTest, RegistrationOrderDuplicatesAndRemoval) {
    using Calls = std::vector<std::pair<int, const Datahub::BaseParam*>>;
    Calls calls;
    auto callingAs = [&calls](int id) {
        return [&calls, id](const Datahub::BaseParam* p) { calls.emplace_back(id, p); };
    };
    Calling first(callingAs(1)), second(callingAs(2)), stranger(callingAs(3));
    Observable observable;

    EXPECT_FALSE(observable.AddObserver(nullptr));
    EXPECT_TRUE(observable.AddObserver(&first));
    EXPECT_TRUE(observable.AddObserver(&second));
    EXPECT_TRUE(observable.AddObserver(&first));
    EXPECT_TRUE(observable.RemoveObserver(&stranger));
    EXPECT_EQ(observable.ObserverCount(), 3u);

    auto param = std::make_shared<CPtzParam>(CPtzParam::PTZ_EVENT_SITE, 0);
    observable.NotifyObservers(&Datahub::IObserver::OnNotify, param);
    EXPECT_EQ(calls, (Calls{{1, param.get()}, {2, param.get()}, {1, param.get()}}));

    // One removal takes away one registration, the first.
    calls.clear();
    EXPECT_TRUE(observable.RemoveObserver(&first));
    observable.NotifyObservers(&Datahub::IObserver::OnNotify, param);
    EXPECT_EQ(calls, (Calls{{2, param.get()}, {1, param.get()}}));
}

// An observer that changes the list from inside its notification neither
// deadlocks nor disturbs the walk in progress.
TEST(ObservableTest, ChangesFromInsideANotificationApplyToTheNextOne) {
    Observable observable;
    int counted = 0;
    int removals = 0;
    Calling counter([&](const Datahub::BaseParam*) { ++counted; });
    Calling remover(nullptr);
    remover.m_call = [&](const Datahub::BaseParam*) {
        ++removals;
        observable.RemoveObserver(&remover);
        observable.AddObserver(&counter);
    };
    observable.AddObserver(&remover);
    observable.AddObserver(&counter);

    Notify(observable);
    EXPECT_EQ(std::make_pair(removals, counted), std::make_pair(1, 1));
    Notify(observable);
    EXPECT_EQ(std::make_pair(removals, counted), std::make_pair(1, 3));  // the counter registered twice now
}

// Once RemoveObserver returns on another thread, the observer is not being
// called any more: removal waits for a delivery in progress.
TEST(ObservableTest, RemovalWaitsForADeliveryInProgress) {
    Observable observable;
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> inside{false};
    Calling blocking([&](const Datahub::BaseParam*) {
        inside = true;
        entered.set_value();
        released.wait();
        inside = false;
    });
    observable.AddObserver(&blocking);

    std::thread deliverer([&] { Notify(observable); });
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
    EXPECT_EQ(std::make_tuple(removed.load(), observable.ObserverCount()), std::make_tuple(true, 0u));
}

}  // namespace
}  // namespace Kestrel
