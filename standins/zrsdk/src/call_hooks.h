#pragma once
// What tests attach to the SDK's functions: injected failures, latency,
// callback plans, and a bounded record of the calls made.
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "zrsdk/zrsdk_control.h"

namespace zrsdk {

class CallHooks {
public:
    struct Hooks;

    static CallHooks& Instance();

    static bool IsKnownFunction(const std::string& function);
    bool FailNext(const std::string& function, int count, int code);
    bool SetLatency(const std::string& function, std::chrono::milliseconds latency);
    bool SetCallbackPlan(const std::string& function, const control::CallbackPlan& plan);
    void ClearFaults();
    void ClearCaptures();

    // What one call needs at its entry, under one lock: its latency, the
    // injected failure due to it (consumed), and a capture record to fill,
    // recycled from the oldest capture once the ring is full so that
    // capturing does not allocate on every call.
    struct Entry {
        std::chrono::milliseconds latency{0};
        bool fail = false;
        int failCode = 0;
    };
    // The function's hooks: never removed, so the reference stays valid.
    Hooks& Begin(std::string_view function, Entry& entry, control::CapturedCall& recycled);
    control::CallbackPlan CallbackPlanOf(Hooks& hooks);
    void Record(Hooks& hooks, control::CapturedCall call);
    std::vector<control::CapturedCall> Captured(const std::string& function);
    std::size_t CallCount(const std::string& function);

    struct Hooks {
        int failCount = 0;
        int failCode = 0;
        std::chrono::milliseconds latency{0};
        control::CallbackPlan callbackPlan;
        std::deque<control::CapturedCall> captured;
        std::size_t calls = 0;
    };

private:
    CallHooks();

    std::mutex m_mutex;
    // Every known function has its entry from the start; lookups by name
    // need no string of their own.
    std::map<std::string, Hooks, std::less<>> m_hooks;
};

// One SDK call from entry to result: sleeps the function's latency, captures
// what the caller passed, and answers an injected failure before the platform
// is touched. Finish records the call with its result.
class CallScope {
public:
    CallScope(const char* function, int sessionId);
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

    void CaptureInput(const void* record, std::size_t size);
    // The text up to its NUL, at most `limit` bytes.
    void CaptureText(const char* text, std::size_t limit);
    void CaptureOperateInfo(const void* operateInfo);
    void CaptureExtra(const void* data, std::size_t size);
    void SetOutputSize(unsigned int size) { m_call.outputSize = size; }

    // True when the call must fail with `code` without doing anything.
    bool InjectedFailure(int& code);
    control::CallbackPlan CallbackPlan() const;
    int Finish(int result);

private:
    CallHooks::Hooks* m_hooks;
    CallHooks::Entry m_entry;
    control::CapturedCall m_call;
};

}  // namespace zrsdk
