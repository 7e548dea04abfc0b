// DataPassThroughJson against the stand-in management server on loopback.
#include <gtest/gtest.h>

#include <thread>

#include "server_fixture.h"

namespace {

using namespace Datahub;
using namespace resttest;
using PassThroughTest = ServerTest;

// "data" reaches slot 8 as the server spelled it, and the parse that
// follows reads the same value, on the calling thread or any other.
TEST_F(PassThroughTest, DataSlotKeepsTheServersTextAndParsesAnywhere) {
    mgmt::Fault spaced;
    spaced.dataJson = "{ \"note\" : \"}],\\\"{\" ,\n \"id\" : 77 , \"more\": [ {\"x\": [1, {}]} ] }";
    server.InjectFault(spaced);
    ResponseObject response(messages.id, 8);
    ASSERT_EQ(0, Delete(1, response));
    EXPECT_STREQ(spaced.dataJson->c_str(), response->dataJson);
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));

    // Parsed again after another call on this thread, and on a thread that
    // made no call: the value comes from the text, not from the last call.
    ASSERT_EQ(0, Delete(1));
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));
    std::thread([&] {
        EXPECT_EQ(0, response.Parse());
        EXPECT_EQ(77, Read<std::int64_t>(response.Body(), 0));
    }).join();

    // An escaped key inside "data" reads as the key it spells.
    mgmt::Fault escaped;
    escaped.dataJson = "{\"i\\u0064\": 5}";
    server.InjectFault(escaped);
    ASSERT_EQ(0, Delete(1, response));
    ASSERT_EQ(0, response.Parse());
    EXPECT_EQ(5, Read<std::int64_t>(response.Body(), 0));
}

// Besides its code, a failed call tells what it can in the response slots.
// (The codes of every fault: the server-fault tests.)
TEST_F(PassThroughTest, FailedCallsFillTheSlotsTheyCan) {
    mgmt::Fault fault;
    fault.kind = mgmt::Fault::Kind::BrokenBody;
    server.InjectFault(fault);
    ResponseObject response(messages.empty, 8);
    EXPECT_EQ(PASS_THROUGH_BAD_ENVELOPE, Delete(1, response));
    EXPECT_EQ(200, response->http_code) << "the status is still told";
    EXPECT_NE(nullptr, response->rawBody);
    EXPECT_NE(nullptr, response->failure);

    server.StopListening();
    ResponseObject refused(messages.empty, 8);
    EXPECT_EQ(PASS_THROUGH_CONNECT_FAILED, Delete(1, refused));
    EXPECT_NE(nullptr, refused->failure);
    Host::ClearServerAddress();
    EXPECT_EQ(PASS_THROUGH_NO_SERVER, Delete(1));
}

TEST_F(PassThroughTest, RefusesWhatItCannotSend) {
    ResponseObject response(messages.empty, 8);
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, DataPassThroughJson(kSession, nullptr, nullptr, response.get(), 10, 0));
    RequestObject request("FETCH", "/psib/ptz/presetTask/1", messages.empty, 8);
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, DataPassThroughJson(kSession, nullptr, request.get(), nullptr, 10, 0));
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT,
              DataPassThroughJson(kSession, nullptr, request.get(), response.get(), 10, 0));
    RequestObject spaced("DELETE", "/psib/ptz/presetTask/1 HTTP/1.0", messages.empty, 8);
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT,
              DataPassThroughJson(kSession, nullptr, spaced.get(), response.get(), 10, 0));

    RequestObject fine("DELETE", "/psib/ptz/presetTask/1", messages.empty, 8);
    CHeadParamList injected;
    injected.SetParam("X-Operate-Name", "a\r\nX-Session-Id: 1");
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, DataPassThroughJson(kSession, &injected, fine.get(), response.get(), 10, 0));
    CHeadParamList framing;
    framing.SetParam("Content-Length", "5");
    EXPECT_EQ(PASS_THROUGH_INVALID_ARGUMENT, DataPassThroughJson(kSession, &framing, fine.get(), response.get(), 10, 0));
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
