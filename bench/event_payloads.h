#pragma once
// Server events as the login manager hands them over: the payload of each
// type, made with the stand-in platform's builders, its pointers fixed up,
// and where its result arrives.
#include <cstdint>
#include <vector>

#include "arrival_counter.h"

namespace bench {

class BenchHost;

struct EventPayload {
    int loginType = 0;          // login event type
    std::vector<uint8_t> bytes; // the payload, its pointers already set
    unsigned int size = 0;
    ArrivalObserver* observer = nullptr;  // where the result arrives
    int resultType = 0;                   // its event type there
};

// One well-formed event of the login type (40, 50, 52, 167, 206, 212, 213).
EventPayload MakeEventPayload(BenchHost& host, int loginType);
// A face event with header and `items` items.
std::vector<uint8_t> MakeFacePayload(int items);

}  // namespace bench
