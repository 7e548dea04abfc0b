#include <gtest/gtest.h>

#include <thread>

#include "vkl/mutex.h"
#include "vkl/ref_obj.h"

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

class Counted : public vkl::DRefObj {
public:
    explicit Counted(bool& deleted) : m_deleted(deleted) {}
    ~Counted() override { m_deleted = true; }

private:
    bool& m_deleted;
};

TEST(DRefObj, DeletedWhenTheLastReferenceGoes) {
    bool deleted = false;
    auto* obj = new Counted(deleted);
    EXPECT_EQ(obj->RefCount(), 0);
    {
        vkl::DRefPtr<Counted> a(obj);
        vkl::DRefPtr<Counted> b = a;
        EXPECT_EQ(obj->RefCount(), 2);
        vkl::DRefPtr<Counted> c(std::move(b));
        EXPECT_EQ(obj->RefCount(), 2);
        EXPECT_FALSE(b);
        a.reset();
        EXPECT_EQ(obj->RefCount(), 1);
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(deleted);
}

}  // namespace
