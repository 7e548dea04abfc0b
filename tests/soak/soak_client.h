#pragma once
// One client thread of the soak: random façade operations with random (and
// now and then bad) arguments, each entered in the client's own ledger with
// the answer it must get.
#include <cstdint>
#include <random>
#include <string>

#include "kestrel/device_function_external.h"
#include "kestrel/ptz_external.h"
#include "soak_ledger.h"

namespace soak {

class SoakClient {
public:
    SoakClient(int index, uint32_t seed, Kestrel::CDeviceFunctionExternal* device, Kestrel::CPtzExternal* ptz);

    // Makes one random façade call.
    void CallOne();
    const Ledger& GetLedger() const { return m_ledger; }

private:
    std::string Channel();
    std::string Text();
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    void CallDevice(int what);
    void CallPtz(int what);
    void CallPtzQueries(int what);

    int m_index;
    std::mt19937 m_random;
    Kestrel::CDeviceFunctionExternal* m_device;
    Kestrel::CPtzExternal* m_ptz;
    Ledger m_ledger;
    int64_t m_tags = 0;
};

}  // namespace soak
