#pragma once
// Getter/setter pairs of the parameter classes: each field lives in the
// class's private part, and getters hand out copies.

// Scalars: const getter, setter by value.
#define KESTREL_PARAM_SCALAR(Class, Type, Name)                          \
    Type Class::Get##Name() const { return d_func()->m_##Name; }         \
    void Class::Set##Name(Type value) { d_func()->m_##Name = value; }

// Strings, containers and records: getter returns a copy, setter copies in.
#define KESTREL_PARAM_VALUE(Class, Type, Name)                           \
    Type Class::Get##Name() { return d_func()->m_##Name; }               \
    void Class::Set##Name(const Type& value) { d_func()->m_##Name = value; }

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
