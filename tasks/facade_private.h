#pragma once
// The private part shared by the façade handles: a back pointer to the handle
// and the function delegate the handle forwards to.
#include <memory>

namespace Kestrel {

template <class Handle, class Delegate>
class CFacadePrivate {
public:
    CFacadePrivate(Handle* q, std::shared_ptr<Delegate> delegate)
        : q_ptr(q), m_delegate(std::move(delegate)) {}

    Handle* q_ptr;
    std::shared_ptr<Delegate> m_delegate;
};

}  // namespace Kestrel

// Construction, destruction, assignment, d_func and observer registration of
// a façade handle Class whose private part is Class##Private.
#define KESTREL_FACADE_BASICS(Class, Delegate)                                                  \
    Class::Class(std::shared_ptr<Delegate> delegate)                                            \
        : d_ptr(new Class##Private(this, std::move(delegate))) {}                               \
    Class::~Class() {                                                                           \
        delete d_ptr;                                                                           \
        d_ptr = nullptr;                                                                        \
    }                                                                                           \
    Class& Class::operator=(const Class& other) {                                               \
        if (this != &other) d_ptr->m_delegate = other.d_ptr->m_delegate;                        \
        return *this;                                                                           \
    }                                                                                           \
    Class##Private* Class::d_func() { return d_ptr; }                                           \
    const Class##Private* Class::d_func() const { return d_ptr; }                               \
    bool Class::RegisterObserver(Datahub::IObserver* observer) {                                \
        return d_func()->m_delegate->RegisterObserver(observer);                                \
    }                                                                                           \
    bool Class::UnRegisterObserver(Datahub::IObserver* observer) {                              \
        return d_func()->m_delegate->UnRegisterObserver(observer);                              \
    }
