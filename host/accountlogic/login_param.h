#pragma once
#include "datahub/base_param.h"
#include "host_export.h"

namespace AccountLogic {

// Login event types pushed by the server over the user's login connection.
enum LoginEvent_e {
    LOGIN_EVENT_PTZ_LOCK_STATUS = 40,
    LOGIN_EVENT_SMART_TRACK_OBJECT = 50,
    LOGIN_EVENT_FACE_INFO = 52,
    LOGIN_EVENT_TRAFFIC_INFO = 167,
    LOGIN_EVENT_IMS_ALARM = 206,
    LOGIN_EVENT_TRAFFIC_REAL_ALARM = 212,
    LOGIN_EVENT_TRAFFIC_SCORE_ALARM = 213,
};

// A server event of the login connection (Business BUSINESS_LOGIN). The
// payload stays valid only while the observers are being notified.
class ACCOUNTLOGIC_API CLoginParam : public Datahub::BaseParam {
public:
    CLoginParam(int eventType, int eventResult, void* buf, unsigned int size);
    CLoginParam(const CLoginParam& other);
    CLoginParam& operator=(const CLoginParam& other);
    ~CLoginParam() override;

    void* GetEventBuf() const;
    unsigned int GetBufSize() const;
};

}  // namespace AccountLogic
