#pragma once
#include <cstdint>
#include <functional>

namespace AccountLogic {

// The SDK's login-event callback for one session, bound to a receiver. The
// SDK holds only a numeric token; once the subscription is gone a late call
// with that token is dropped, even if the SDK refused to clear its callback.
class SdkSubscription {
public:
    using Receiver = std::function<void(int type, int result, const void* data, unsigned int size)>;

    SdkSubscription(int sessionId, Receiver receiver);
    // Ends the subscription: no call reaches the receiver after it returns.
    ~SdkSubscription();

    // The SDK's answer to the subscription (0 = subscribed).
    int Result() const { return m_result; }

    SdkSubscription(const SdkSubscription&) = delete;
    SdkSubscription& operator=(const SdkSubscription&) = delete;

private:
    const int m_sessionId;
    uintptr_t m_token = 0;
    int m_result = 0;
};

}  // namespace AccountLogic
