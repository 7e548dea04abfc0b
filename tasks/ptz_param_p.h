#pragma once
#include <string>

#include "datahub/base_param.h"

namespace Kestrel {

class CPtzParamPrivate : public Datahub::BaseParamPrivate {
public:
    using Datahub::BaseParamPrivate::BaseParamPrivate;
    CPtzParamPrivate(const CPtzParamPrivate&) = default;
    ~CPtzParamPrivate() override = default;
    Datahub::BaseParamPrivate* Clone() const override { return new CPtzParamPrivate(*this); }

    std::string m_Code;
    unsigned int m_Id = 0xFFFFFFFFu;
    int m_Seq = 0;
    int m_Param = 0;
    std::string m_Msg;
    std::string m_Info;
    int m_X = 0;
    int m_Y = 0;
    int m_Z = 0;
    bool m_Enable = false;
};

}  // namespace Kestrel
