#pragma once
#include <string>

#include "datahub/base_param.h"
#include "kestrel/kestrel_export.h"

namespace Kestrel {

class CPtzParamPrivate;

// Result of a PTZ request or a PTZ event (Business 28).
class KESTREL_API CPtzParam : public Datahub::BaseParam {
public:
    enum EventType {
        PTZ_EVENT_NONE = -1,
        PTZ_EVENT_QUERY_PRESET_POINTS = 0,
        PTZ_EVENT_PRESET_SET = 1,
        PTZ_EVENT_PRESET_DELETE = 2,
        PTZ_EVENT_PRESET_GOTO = 3,
        PTZ_EVENT_LOCK = 7,
        PTZ_EVENT_LOCK_EXPIRED = 8,
        PTZ_EVENT_DIRECTION = 12,
        PTZ_EVENT_CAMERA = 13,
        PTZ_EVENT_SITE = 14,
        PTZ_EVENT_LOCK_STATUS_CHANGED = 38,
        PTZ_EVENT_QUERY_CRUISE = 39,
        PTZ_EVENT_ADD_CRUISE = 40,
        PTZ_EVENT_RAIN_WIPER = 42,
        PTZ_EVENT_AUTO_SCAN = 43,
        PTZ_EVENT_SCAN_MARGIN = 44,
        PTZ_EVENT_QUERY_GUARD_PRESET = 45,
        PTZ_EVENT_ADD_GUARD_PRESET = 46,
        PTZ_EVENT_DEL_GUARD_PRESET = 47,
        PTZ_EVENT_SET_IDLE_MONITOR = 48,
        // The stop that the motion policy's dead-man sent for a move nobody
        // renewed (ptz_motion_policy.h): Code, Seq (a number of its own),
        // Param (the direction or lens code), Enable false; the result is the
        // stop's.
        PTZ_EVENT_AUTO_STOP = 100,
    };

    CPtzParam(EventType type, int result);
    CPtzParam(const CPtzParam& other);
    CPtzParam& operator=(const CPtzParam& other);
    ~CPtzParam() override;

    std::string GetCode();
    void SetCode(const std::string& code);
    unsigned int GetId() const;
    void SetId(unsigned int id);
    int GetSeq() const;
    void SetSeq(int seq);
    int GetParam() const;
    void SetParam(int param);
    std::string GetMsg();
    void SetMsg(const std::string& msg);
    std::string GetInfo();
    void SetInfo(const std::string& info);
    int GetX() const;
    void SetX(int x);
    int GetY() const;
    void SetY(int y);
    int GetZ() const;
    void SetZ(int z);
    bool GetEnable() const;
    void SetEnable(bool enable);

private:
    CPtzParamPrivate* d_func();
    const CPtzParamPrivate* d_func() const;
};

}  // namespace Kestrel
