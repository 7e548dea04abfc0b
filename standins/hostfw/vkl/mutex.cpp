#include "vkl/mutex.h"

#include <mutex>

namespace vkl {

namespace {
std::recursive_mutex& Impl(void* p) { return *static_cast<std::recursive_mutex*>(p); }
}  // namespace

DMutex::DMutex() : m_impl(new std::recursive_mutex) {}

DMutex::~DMutex() { delete static_cast<std::recursive_mutex*>(m_impl); }

void DMutex::Lock() { Impl(m_impl).lock(); }

void DMutex::Unlock() { Impl(m_impl).unlock(); }

bool DMutex::TryLock() { return Impl(m_impl).try_lock(); }

}  // namespace vkl
