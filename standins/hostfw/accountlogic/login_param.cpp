#include "accountlogic/login_param.h"

namespace AccountLogic {

namespace {

// The event's payload as a view: pointer and size. Copies share the bytes.
class CLoginParamPrivate : public Datahub::BaseParamPrivate {
public:
    CLoginParamPrivate(int eventType, int eventResult, void* buf, unsigned int size)
        : BaseParamPrivate(Datahub::BUSINESS_LOGIN, eventType, eventResult),
          m_buf(buf),
          m_size(size) {}
    CLoginParamPrivate* Clone() const override { return new CLoginParamPrivate(*this); }

    void* m_buf;
    unsigned int m_size;

private:
    CLoginParamPrivate(const CLoginParamPrivate&) = default;
};

const CLoginParamPrivate* Private(const Datahub::BaseParamPrivate* d) {
    return static_cast<const CLoginParamPrivate*>(d);
}

}  // namespace

CLoginParam::CLoginParam(int eventType, int eventResult, void* buf, unsigned int size)
    : BaseParam(*new CLoginParamPrivate(eventType, eventResult, buf, size)) {}

CLoginParam::CLoginParam(const CLoginParam& other) = default;

CLoginParam& CLoginParam::operator=(const CLoginParam& other) = default;

CLoginParam::~CLoginParam() = default;

void* CLoginParam::GetEventBuf() const { return Private(d_ptr)->m_buf; }

unsigned int CLoginParam::GetBufSize() const { return Private(d_ptr)->m_size; }

}  // namespace AccountLogic
