#pragma once
#include <string>

#include "datahub/base_param.h"
#include "kestrel/notify_records.h"

namespace Kestrel {

class CFaceFunctionParamPrivate : public Datahub::BaseParamPrivate {
public:
    using Datahub::BaseParamPrivate::BaseParamPrivate;
    CFaceFunctionParamPrivate(const CFaceFunctionParamPrivate&) = default;
    ~CFaceFunctionParamPrivate() override = default;
    Datahub::BaseParamPrivate* Clone() const override { return new CFaceFunctionParamPrivate(*this); }

    std::string m_DeviceCode;
    FaceInfoNotify m_FaceInfoNotify;
};

}  // namespace Kestrel
