#include "ptz_test_util.h"

#include "tasks/task_worker.h"

namespace kestrel_test {

QueueGate::QueueGate(const std::string& key) {
    std::shared_future<void> opened = m_open.get_future().share();
    Kestrel::PostToPool(key, [opened] { opened.wait(); });
}

void QueueGate::Open() {
    if (m_opened) return;
    m_opened = true;
    m_open.set_value();
}

LogCapture::LogCapture() {
    vkl::Host::SetLogSink([this](const vkl::Host::LogRecord& record) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(record);
    });
}

LogCapture::~LogCapture() { vkl::Host::SetLogSink({}); }

std::vector<vkl::Host::LogRecord> LogCapture::Lines() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

std::vector<vkl::Host::LogRecord> LogCapture::LinesOf(const std::string& function) {
    std::vector<vkl::Host::LogRecord> out;
    for (const auto& line : Lines())
        if (line.function == function) out.push_back(line);
    return out;
}

}  // namespace kestrel_test
