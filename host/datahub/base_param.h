#pragma once
#include "host_export.h"

namespace Datahub {

// Which part of the client a parameter object belongs to.
enum Business_e {
    BUSINESS_NONE = 0,
    BUSINESS_DEVICE_FUNCTION = 3,
    BUSINESS_FACE_FUNCTION = 4,
    BUSINESS_LOGIN = 10,
    BUSINESS_PTZ = 28,
};

class DATAHUB_API BaseParamPrivate {
public:
    BaseParamPrivate(Business_e business, int eventType, int eventResult);
    virtual ~BaseParamPrivate();
    // Copies of a parameter object are independent: BaseParam duplicates the
    // private part through this. Every derived private part overrides it.
    virtual BaseParamPrivate* Clone() const;

    Business_e m_business;
    int m_eventType;
    int m_eventResult;

protected:
    BaseParamPrivate(const BaseParamPrivate&) = default;
    BaseParamPrivate& operator=(const BaseParamPrivate&) = default;
};

// A result or event handed to observers. Owns its private part.
class DATAHUB_API BaseParam {
public:
    explicit BaseParam(BaseParamPrivate& d);
    BaseParam(const BaseParam& other);
    BaseParam& operator=(const BaseParam& other);
    virtual ~BaseParam();

    Business_e GetBusiness() const;
    int GetEventType() const;
    int GetEventResult() const;

protected:
    BaseParamPrivate* d_ptr;
};

}  // namespace Datahub
