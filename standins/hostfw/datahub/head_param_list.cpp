#include "datahub/head_param_list.h"

namespace Datahub {

CHeadParamList::CHeadParamList() = default;

CHeadParamList::~CHeadParamList() = default;

void CHeadParamList::SetParam(const std::string& name, const std::string& value) {
    for (auto& param : m_params) {
        if (param.first == name) {
            param.second = value;
            return;
        }
    }
    m_params.emplace_back(name, value);
}

const std::vector<std::pair<std::string, std::string>>& CHeadParamList::GetParams() const {
    return m_params;
}

}  // namespace Datahub
