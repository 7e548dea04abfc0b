#pragma once
#include <memory>

#include "datahub/base_param.h"
#include "host_export.h"

namespace Datahub {

class DATAHUB_API IObserver {
public:
    virtual ~IObserver();
    virtual void OnNotify(std::shared_ptr<BaseParam> param) = 0;
};

}  // namespace Datahub
