#pragma once
#include <cstdint>
#include <list>
#include <map>
#include <string>

#include "datahub/base_param.h"
#include "kestrel/notify_records.h"
#include "tasks/param_field.h"

namespace Kestrel {

class CDeviceFunctionParamPrivate : public Datahub::BaseParamPrivate {
public:
    using Datahub::BaseParamPrivate::BaseParamPrivate;
    CDeviceFunctionParamPrivate(const CDeviceFunctionParamPrivate&) = default;
    ~CDeviceFunctionParamPrivate() override = default;
    Datahub::BaseParamPrivate* Clone() const override { return new CDeviceFunctionParamPrivate(*this); }

    std::string m_Code;
    unsigned int m_Id = 0xFFFFFFFFu;
    int m_Seq = 0;
    int m_SessionId = 0;
    int m_Param = 0;
    std::string m_Info;
    bool m_Enable = false;
    std::list<std::string> m_BindResourceIDList;
    std::map<std::string, std::string> m_BindChannelInfo;
    int m_StreamType = 0;
    int m_PlanId = 0;
    uint64_t m_Ui64Now = 0;
    int m_Group = 0;
    int m_SubscribeID = 0;
    int m_ObjectID = 0;
    // Made when set: a result carries one kind of record at most.
    CRecordField<TrafficInfoNotify> m_TrafficInfoNotify;
    CRecordField<TrafficRealAlarmInfo> m_TrafficRealAlarmInfo;
    CRecordField<TrafficScoreAlarmInfo> m_TrafficScoreAlarmInfo;
    CRecordField<IMSAlarmInfoNotify> m_IMSAlarmInfoNotify;
};

}  // namespace Kestrel
