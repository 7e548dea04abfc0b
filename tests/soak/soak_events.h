#pragma once
// The server events the soak pushes, each numbered, and how an observer
// tells from a parameter object which pushed event it is and whether its
// content came through intact.
//
// A pushed event carries its number as the text "ev-<n>" in the field that
// reaches the observer (code, text1 or payload text) and a content derived
// from n (values, item counts). Events that must fail the intake checks
// carry "bad-<n>" instead.
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "datahub/base_param.h"
#include "zrsdk/zrsdk_control.h"

namespace soak {

// The orders that hold for events: those of one queue key reach every
// observer in push order.
enum class EventQueue { Device, SmartTrack, Face, Lock, Count };
constexpr int kEventQueues = static_cast<int>(EventQueue::Count);

struct PushedEvent {
    zrsdk::control::LoginEventData data;
    EventQueue queue = EventQueue::Device;
    bool passes = true;  // false: fails its intake check
};

// A well-formed event of a kind picked by `pick`, numbered n.
PushedEvent MakeGoodEvent(int64_t n, std::mt19937& pick);
// An event that must be dropped: wrong size, non-zero result, null payload
// or a type Kestrel does not handle, numbered n.
PushedEvent MakeBadEvent(int64_t n, std::mt19937& pick);

// What an observer learns from one parameter object about pushed events.
struct EventIdentity {
    enum Kind { NotAnEvent, Pushed, Bad, PlatformLock };
    Kind kind = NotAnEvent;
    EventQueue queue = EventQueue::Device;
    int64_t number = -1;
    bool intact = false;  // content matches the number
};
EventIdentity IdentifyEvent(const std::shared_ptr<Datahub::BaseParam>& param);

}  // namespace soak
