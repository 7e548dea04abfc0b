#include "login_event_queue.h"

#include <cstring>
#include <exception>

#include <boost/asio/post.hpp>

#include "vkl/log.h"
#include "zrsdk/zrsdk_types.h"

namespace AccountLogic {

namespace {

// A delivered event: the parameter object and the copy of the payload it
// points into, kept together.
struct DeliveredEvent {
    std::unique_ptr<unsigned char[]> bytes;
    CLoginParam param;

    // A null payload stays null (with the size the SDK gave, never read); any
    // other one is copied, and even an empty one gets a valid pointer.
    DeliveredEvent(int type, int result, const unsigned char* data, unsigned int size)
        : bytes(Copy(type, data, size)), param(type, result, bytes.get(), size) {}

    // A traffic record points to its items in the SDK's memory, which lives
    // only as long as the SDK's callback: the copy takes the items along,
    // right behind the record (beyond its size, as on the platform), and
    // points to them there.
    static std::unique_ptr<unsigned char[]> Copy(int type, const unsigned char* data, unsigned int size) {
        if (!data) return nullptr;
        ZRSDK_TRAFFIC_INFO traffic{};
        if (type == LOGIN_EVENT_TRAFFIC_INFO && size >= sizeof(traffic)) std::memcpy(&traffic, data, sizeof(traffic));
        const std::size_t items = traffic.items != nullptr ? traffic.itemCount : 0;
        const std::size_t itemBytes = items * sizeof(ZRSDK_TRAFFIC_ITEM);
        std::unique_ptr<unsigned char[]> copy(new unsigned char[size + itemBytes ? size + itemBytes : 1]);
        std::memcpy(copy.get(), data, size);
        if (items != 0) {
            std::memcpy(copy.get() + size, traffic.items, itemBytes);
            auto* moved = reinterpret_cast<ZRSDK_TRAFFIC_ITEM*>(copy.get() + size);
            std::memcpy(copy.get() + offsetof(ZRSDK_TRAFFIC_INFO, items), &moved, sizeof(moved));
        }
        return copy;
    }
};

}  // namespace

LoginEventQueue::LoginEventQueue(Deliver deliver)
    : m_deliver(std::move(deliver)), m_work(boost::asio::make_work_guard(m_io)) {
    m_thread = std::thread([this] { m_io.run(); });
    m_threadId = m_thread.get_id();
}

LoginEventQueue::~LoginEventQueue() {
    m_work.reset();  // run() returns once every queued event is delivered
    if (m_thread.joinable()) m_thread.join();
}

bool LoginEventQueue::OnDeliveryThread() const { return std::this_thread::get_id() == m_threadId; }

void LoginEventQueue::Push(int eventType, int eventResult, const void* data, unsigned int size) {
    auto event = std::make_shared<DeliveredEvent>(
        eventType, eventResult, static_cast<const unsigned char*>(data), size);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_pending;
    }
    boost::asio::post(m_io, [this, event] {
        try {
            m_deliver(std::shared_ptr<CLoginParam>(event, &event->param));
        } catch (const std::exception& e) {
            vkl::DPrintLog::instance()->Log("AccountLogic", __LINE__, "AccountLogic::LoginEventQueue", "",
                                            vkl::LOG_LEVEL_ERROR,
                                            "login event %d: delivery threw: %s", event->param.GetEventType(), e.what());
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_pending == 0) m_idle.notify_all();
    });
}

bool LoginEventQueue::WaitIdle(std::chrono::milliseconds timeout) {
    // The delivery in progress on this thread would never end the wait.
    if (OnDeliveryThread()) return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [&] { return m_pending == 0; });
}

std::size_t LoginEventQueue::Pending() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending;
}

}  // namespace AccountLogic
