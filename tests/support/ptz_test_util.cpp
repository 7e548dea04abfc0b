#include "ptz_test_util.h"

#include <sstream>

#include "tasks/task_worker.h"

namespace kestrel_test {

Field::Field(std::size_t at, const void* data, std::size_t size)
    : offset(at), bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

::testing::AssertionResult IsRecord(const std::vector<uint8_t>& bytes, std::size_t size,
                                    std::initializer_list<Field> fields) {
    std::vector<uint8_t> expected(size, 0);
    for (const Field& field : fields) {
        if (field.offset + field.bytes.size() > size)
            return ::testing::AssertionFailure() << "the field at " << field.offset << " ends past the record";
        std::copy(field.bytes.begin(), field.bytes.end(), expected.begin() + field.offset);
    }
    if (bytes.size() != size) return ::testing::AssertionFailure() << "size " << bytes.size() << ", not " << size;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != expected[i])
            return ::testing::AssertionFailure() << "byte " << i << " is " << int(bytes[i]) << ", not "
                                                 << int(expected[i]);
    }
    return ::testing::AssertionSuccess();
}

namespace {

std::string Describe(const Answer& a) {
    std::ostringstream out;
    out << "result " << a.result << ", seq " << a.seq << ", code '" << a.code << "', param " << a.param
        << ", enable " << a.enable << ", msg '" << a.msg << "', id " << a.id << ", info '" << a.info << "'";
    return out.str();
}

}  // namespace

::testing::AssertionResult IsAnswer(const std::shared_ptr<Kestrel::CPtzParam>& param, const Answer& expected) {
    const Answer actual{param->GetEventResult(), param->GetSeq(),    param->GetCode(), param->GetParam(),
                        param->GetEnable(),      param->GetMsg(),    param->GetId(),   param->GetInfo()};
    const std::string got = Describe(actual), wanted = Describe(expected);
    if (got == wanted) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << "\nnot " << wanted;
}

std::shared_ptr<Kestrel::CPtzParam> WaitPtzResult(RecordingObserver& observer, int eventType, std::size_t n) {
    EXPECT_TRUE(observer.WaitFor(n, eventType)) << "event type " << eventType;
    auto results = observer.OfType(eventType);
    if (results.size() >= n) return results[n - 1].As<Kestrel::CPtzParam>();
    return std::make_shared<Kestrel::CPtzParam>(Kestrel::CPtzParam::PTZ_EVENT_NONE, -12345);
}

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
