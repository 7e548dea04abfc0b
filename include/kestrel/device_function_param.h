#pragma once
#include <cstdint>
#include <list>
#include <map>
#include <string>

#include "datahub/base_param.h"
#include "kestrel/kestrel_export.h"
#include "kestrel/notify_records.h"

namespace Kestrel {

class CDeviceFunctionParamPrivate;

// Result of a device request or a device event (Business 3).
class KESTREL_API CDeviceFunctionParam : public Datahub::BaseParam {
public:
    enum EventType {
        DEVICE_EVENT_START_RECORD = 9,
        DEVICE_EVENT_STOP_RECORD = 10,
        DEVICE_EVENT_SMART_TRACK_OBJECT = 18,
        DEVICE_EVENT_TRAFFIC_INFO = 23,
        DEVICE_EVENT_BINDING_RESOURCE = 24,
        DEVICE_EVENT_START_APP_RECORD = 25,
        DEVICE_EVENT_STOP_APP_RECORD = 26,
        DEVICE_EVENT_IMS_ALARM = 28,
        DEVICE_EVENT_TRAFFIC_REAL_ALARM = 29,
        DEVICE_EVENT_TRAFFIC_SCORE_ALARM = 30,
    };

    CDeviceFunctionParam(EventType type, int result);
    CDeviceFunctionParam(const CDeviceFunctionParam& other);
    CDeviceFunctionParam& operator=(const CDeviceFunctionParam& other);
    ~CDeviceFunctionParam() override;

    std::string GetCode();
    void SetCode(const std::string& code);
    unsigned int GetId() const;
    void SetId(unsigned int id);
    int GetSeq() const;
    void SetSeq(int seq);
    int GetSessionId() const;
    void SetSessionId(int sessionId);
    int GetParam() const;
    void SetParam(int param);
    std::string GetInfo();
    void SetInfo(const std::string& info);
    bool GetEnable() const;
    void SetEnable(bool enable);
    std::list<std::string> GetBindResourceIDList();
    void SetBindResourceIDList(const std::list<std::string>& ids);
    std::map<std::string, std::string> GetBindChannelInfo();
    void SetBindChannelInfo(const std::map<std::string, std::string>& info);
    int GetStreamType() const;
    void SetStreamType(int streamType);
    int GetPlanId() const;
    void SetPlanId(int planId);
    uint64_t GetUi64Now() const;
    void SetUi64Now(uint64_t now);
    int GetGroup() const;
    void SetGroup(int group);
    int GetSubscribeID() const;
    void SetSubscribeID(int id);
    int GetObjectID() const;
    void SetObjectID(int id);
    TrafficInfoNotify GetTrafficInfoNotify();
    void SetTrafficInfoNotify(const TrafficInfoNotify& info);
    TrafficRealAlarmInfo GetTrafficRealAlarmInfo();
    void SetTrafficRealAlarmInfo(const TrafficRealAlarmInfo& info);
    TrafficScoreAlarmInfo GetTrafficScoreAlarmInfo();
    void SetTrafficScoreAlarmInfo(const TrafficScoreAlarmInfo& info);
    IMSAlarmInfoNotify GetIMSAlarmInfoNotify();
    void SetIMSAlarmInfoNotify(const IMSAlarmInfoNotify& info);

private:
    CDeviceFunctionParamPrivate* d_func();
    const CDeviceFunctionParamPrivate* d_func() const;
};

}  // namespace Kestrel
