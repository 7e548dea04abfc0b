#pragma once
// The management server stand-in on loopback with the pass-through pointed
// at it, for the REST tests.
#include <gtest/gtest.h>

#include <memory>

#include "hostfw/rest_host.h"
#include "mgmt_server/server.h"

namespace Kestrel {
namespace resttest {

// Releases a request or response object through its own operation.
struct ReleaseRestObject {
    template <class Object>
    void operator()(Object* object) const {
        if (object) object->slots.release(&object->slots);
    }
};
template <class Object>
using RestObject = std::unique_ptr<Object, ReleaseRestObject>;

constexpr int kSession = 42;

class RestServerTest : public ::testing::Test {
protected:
    static constexpr int kSession = resttest::kSession;

    void SetUp() override {
        ASSERT_TRUE(m_server.Start());
        m_server.AddSession(kSession);
        Datahub::Host::SetServerAddress("127.0.0.1", m_server.Port());
    }
    void TearDown() override {
        Datahub::Host::ClearServerAddress();
        m_server.Stop();
    }

    mgmt::Server m_server;
};

}  // namespace resttest
}  // namespace Kestrel
