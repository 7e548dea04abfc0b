#include "platform.h"

namespace zrsdk {

Platform& Platform::Instance() {
    static Platform platform;
    return platform;
}

void Platform::ResetData() {
    std::lock_guard<std::mutex> lock(m_mutex);
    channels.Reset();
}

}  // namespace zrsdk
