#pragma once
#include "host_export.h"

namespace vkl {

// Log levels as the host's logger numbers them.
enum LogLevel_e {
    LOG_LEVEL_TRACE = 1,
    LOG_LEVEL_DEBUG = 2,
    LOG_LEVEL_INFO = 3,
    LOG_LEVEL_WARN = 4,
    LOG_LEVEL_NOTICE = 5,
    LOG_LEVEL_ERROR = 6,
};

class VKL_API DPrintLog {
public:
    static DPrintLog* instance();
    // One log line: source unit, line, qualified function name, tag, level
    // and a printf-style text.
    void Log(const char* source, int line, const char* function, const char* tag, int level,
             const char* format, ...) HOST_PRINTF_FORMAT(7, 8);

private:
    DPrintLog() = default;
};

}  // namespace vkl
