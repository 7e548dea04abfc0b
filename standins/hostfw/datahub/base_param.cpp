#include "datahub/base_param.h"

namespace Datahub {

BaseParamPrivate::BaseParamPrivate(Business_e business, int eventType, int eventResult)
    : m_business(business), m_eventType(eventType), m_eventResult(eventResult) {}

BaseParamPrivate::~BaseParamPrivate() = default;

BaseParamPrivate* BaseParamPrivate::Clone() const { return new BaseParamPrivate(*this); }

// Takes ownership of d, which the derived class allocated with new.
BaseParam::BaseParam(BaseParamPrivate& d) : d_ptr(&d) {}

BaseParam::BaseParam(const BaseParam& other) : d_ptr(other.d_ptr->Clone()) {}

BaseParam& BaseParam::operator=(const BaseParam& other) {
    if (this != &other) {
        BaseParamPrivate* copy = other.d_ptr->Clone();
        delete d_ptr;
        d_ptr = copy;
    }
    return *this;
}

BaseParam::~BaseParam() { delete d_ptr; }

Business_e BaseParam::GetBusiness() const { return d_ptr->m_business; }

int BaseParam::GetEventType() const { return d_ptr->m_eventType; }

int BaseParam::GetEventResult() const { return d_ptr->m_eventResult; }

}  // namespace Datahub
