#include <gtest/gtest.h>

#include <thread>

#include "vkl/mutex.h"

namespace {

bool TryLockFromAnotherThread(vkl::DMutex& m) {
    bool locked = false;
    std::thread t([&] {
        locked = m.TryLock();
        if (locked) m.Unlock();
    });
    t.join();
    return locked;
}

TEST(DMutex, IsReEntrantAndHeldUntilTheLastUnlock) {
    vkl::DMutex m;
    {
        vkl::DMutexGuard outer(m);
        vkl::DMutexGuard inner(m);  // would deadlock on a plain mutex
        EXPECT_TRUE(m.TryLock());
        m.Unlock();
        EXPECT_FALSE(TryLockFromAnotherThread(m));
    }
    EXPECT_TRUE(TryLockFromAnotherThread(m));
}

}  // namespace
