#pragma once
#include <atomic>

#include "host_export.h"

namespace vkl {

// Intrusively counted object: created with a count of 0, deleted when the
// last DecRef brings the count back to 0.
class VKL_API DRefObj {
public:
    DRefObj();
    virtual ~DRefObj();
    long AddRef();
    long DecRef();
    long RefCount() const;

    DRefObj(const DRefObj&) = delete;
    DRefObj& operator=(const DRefObj&) = delete;

private:
    std::atomic<long> m_refs;
};

// Counted reference to a DRefObj-derived object.
template <class T>
class DRefPtr {
public:
    DRefPtr() = default;
    DRefPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }  // NOLINT: implicit like a raw pointer
    DRefPtr(const DRefPtr& o) : DRefPtr(o.m_p) {}
    DRefPtr(DRefPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~DRefPtr() { reset(); }
    DRefPtr& operator=(DRefPtr o) noexcept { std::swap(m_p, o.m_p); return *this; }
    void reset() { if (m_p) { T* p = m_p; m_p = nullptr; p->DecRef(); } }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

}  // namespace vkl
