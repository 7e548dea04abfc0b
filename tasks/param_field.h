#pragma once
// Getter/setter pairs of the parameter classes: each field lives in the
// class's private part, and getters hand out copies.
#include <memory>

namespace Kestrel {

// A record field made only when it is set. A parameter object carries at
// most one of its kinds of notification record; holding every kind in
// place made each result pay for building and destroying all of them.
// Reads of a field never set give a default record; copies are deep.
template <class T>
class CRecordField {
public:
    CRecordField() = default;
    CRecordField(const CRecordField& other) : m_value(Copy(other)) {}
    CRecordField& operator=(const CRecordField& other) {
        if (this != &other) m_value = Copy(other);
        return *this;
    }

    T Get() const { return m_value ? *m_value : T(); }
    void Set(const T& value) {
        if (m_value)
            *m_value = value;
        else
            m_value = std::make_unique<T>(value);
    }

private:
    static std::unique_ptr<T> Copy(const CRecordField& other) {
        return other.m_value ? std::make_unique<T>(*other.m_value) : nullptr;
    }

    std::unique_ptr<T> m_value;
};

}  // namespace Kestrel

// Scalars: const getter, setter by value.
#define KESTREL_PARAM_SCALAR(Class, Type, Name)                          \
    Type Class::Get##Name() const { return d_func()->m_##Name; }         \
    void Class::Set##Name(Type value) { d_func()->m_##Name = value; }

// Strings, containers and records: getter returns a copy, setter copies in.
#define KESTREL_PARAM_VALUE(Class, Type, Name)                           \
    Type Class::Get##Name() { return d_func()->m_##Name; }               \
    void Class::Set##Name(const Type& value) { d_func()->m_##Name = value; }

// Notification records kept in a CRecordField: same interface as a value.
#define KESTREL_PARAM_RECORD(Class, Type, Name)                          \
    Type Class::Get##Name() { return d_func()->m_##Name.Get(); }         \
    void Class::Set##Name(const Type& value) { d_func()->m_##Name.Set(value); }

// Constructors, copy, destructor and d_func of a parameter class whose
// private part is Class##Private with the given Business value.
#define KESTREL_PARAM_CLASS(Class, BusinessValue)                                              \
    Class::Class(EventType type, int result)                                                   \
        : Datahub::BaseParam(*new Class##Private(BusinessValue, type, result)) {}              \
    Class::Class(const Class& other) = default;                                                \
    Class& Class::operator=(const Class& other) = default;                                     \
    Class::~Class() = default;                                                                 \
    Class##Private* Class::d_func() { return static_cast<Class##Private*>(d_ptr); }            \
    const Class##Private* Class::d_func() const { return static_cast<const Class##Private*>(d_ptr); }
