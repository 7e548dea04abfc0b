#pragma once
#include <cstdint>

#include "host_export.h"

namespace vkl {

class VKL_API DTime {
public:
    // Milliseconds since 1970-01-01 UTC.
    static int64_t GetTime();
};

}  // namespace vkl
