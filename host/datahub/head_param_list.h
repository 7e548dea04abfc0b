#pragma once
#include <string>
#include <utility>
#include <vector>

#include "host_export.h"

namespace Datahub {

// HTTP headers sent with one pass-through call, in the order set. Setting a
// name again replaces its value in place.
class DATAHUB_API CHeadParamList {
public:
    CHeadParamList();
    ~CHeadParamList();
    void SetParam(const std::string& name, const std::string& value);
    const std::vector<std::pair<std::string, std::string>>& GetParams() const;

private:
    std::vector<std::pair<std::string, std::string>> m_params;
};

}  // namespace Datahub
