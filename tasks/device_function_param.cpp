#include "kestrel/device_function_param.h"

#include "tasks/device_function_param_p.h"
#include "tasks/param_field.h"

namespace Kestrel {

KESTREL_PARAM_CLASS(CDeviceFunctionParam, Datahub::BUSINESS_DEVICE_FUNCTION)

KESTREL_PARAM_VALUE(CDeviceFunctionParam, std::string, Code)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, unsigned int, Id)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, Seq)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, SessionId)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, Param)
KESTREL_PARAM_VALUE(CDeviceFunctionParam, std::string, Info)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, bool, Enable)
KESTREL_PARAM_VALUE(CDeviceFunctionParam, std::list<std::string>, BindResourceIDList)
using BindChannelMap = std::map<std::string, std::string>;
KESTREL_PARAM_VALUE(CDeviceFunctionParam, BindChannelMap, BindChannelInfo)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, StreamType)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, PlanId)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, uint64_t, Ui64Now)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, Group)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, SubscribeID)
KESTREL_PARAM_SCALAR(CDeviceFunctionParam, int, ObjectID)
KESTREL_PARAM_RECORD(CDeviceFunctionParam, TrafficInfoNotify, TrafficInfoNotify)
KESTREL_PARAM_RECORD(CDeviceFunctionParam, TrafficRealAlarmInfo, TrafficRealAlarmInfo)
KESTREL_PARAM_RECORD(CDeviceFunctionParam, TrafficScoreAlarmInfo, TrafficScoreAlarmInfo)
KESTREL_PARAM_RECORD(CDeviceFunctionParam, IMSAlarmInfoNotify, IMSAlarmInfoNotify)

}  // namespace Kestrel
