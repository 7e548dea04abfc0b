// The management server's answers as Kestrel reads them: random "data" text
// in the response slot that the pass-through fills, parsed with the body
// descriptor of each of the five REST operations, read back as the handlers
// read it, judged, copied and released.
//
// Input: byte 0 picks the operation and the HTTP status and server code the
// answer carries; the rest is the "data" JSON text (up to its first zero
// byte, as a C text is). The same text is the server's message.
//
// Checked: parse reports 0 or -1 and never leaves a half-made record behind
// (parsing twice, copying and releasing run clean under AddressSanitizer's
// leak and use-after-free checks); a copy holds the same values in memory of
// its own; the answer is judged success exactly for HTTP 200 with code 1000.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_host.h"
#include "hostfw/vkl_host.h"
#include "rest/rest_call.h"
#include "rest/rest_messages.h"

namespace {

using Kestrel::RestListCount;
using Kestrel::RestListItems;
using Kestrel::RestText;

bool SameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a != b && std::strcmp(a, b) == 0;
}

// Body comparisons between a parsed answer and its copy.
void CheckSameBody(const Kestrel::RestEmptyRecord& a, const Kestrel::RestEmptyRecord& b) {
    FUZZ_CHECK(a.hasFieldOf_nouse == b.hasFieldOf_nouse && a._nouse == b._nouse);
}

void CheckSameBody(const Kestrel::TaskIdRecord& a, const Kestrel::TaskIdRecord& b) { FUZZ_CHECK(a.id == b.id); }

void CheckSameBody(const Kestrel::PresetTaskList& a, const Kestrel::PresetTaskList& b) {
    FUZZ_CHECK(a.status == b.status && a.id == b.id);
    FUZZ_CHECK(SameText(a.channelSn, b.channelSn) && SameText(a.channelCode, b.channelCode));
    const int count = RestListCount(a.configList);
    FUZZ_CHECK(count == RestListCount(b.configList));
    const auto* x = RestListItems<Kestrel::PresetTaskListItem>(a.configList);
    const auto* y = RestListItems<Kestrel::PresetTaskListItem>(b.configList);
    FUZZ_CHECK(count == 0 || (x != nullptr && y != nullptr && x != y));
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(x[i].idleTime == y[i].idleTime && x[i].type == y[i].type && x[i].cover == y[i].cover);
        FUZZ_CHECK(x[i].id == y[i].id && x[i].presetIndex == y[i].presetIndex);
        FUZZ_CHECK(SameText(x[i].beginTime, y[i].beginTime) && SameText(x[i].endTime, y[i].endTime));
    }
}

// What the guard-preset query handler does with a parsed answer.
void ReadAsHandler(const Kestrel::PresetTaskList& body) {
    std::size_t bytes = RestText(body.channelCode).size() + RestText(body.channelSn).size();
    const auto* items = RestListItems<Kestrel::PresetTaskListItem>(body.configList);
    for (int i = 0; i < RestListCount(body.configList); ++i)
        bytes += RestText(items[i].beginTime).size() + RestText(items[i].endTime).size();
    FUZZ_CHECK(bytes < (std::size_t(1) << 31));
}
template <class Body>
void ReadAsHandler(const Body&) {}

template <class Response>
void Exercise(Response* (*create)(), const std::string& data, int httpCode, int apiCode) {
    Response* response = create();
    FUZZ_CHECK(response != nullptr);
    Datahub::PSDKResponse& slots = response->slots;
    // What the pass-through leaves in the slots Kestrel reads.
    slots.http_code = httpCode;
    slots.api_code = apiCode;
    slots.api_message = Datahub::const_string_new(data.c_str());
    slots.dataJson = Datahub::const_string_new(data.c_str());

    const int first = slots.parse(&slots);
    FUZZ_CHECK(first == 0 || first == -1);
    // A second parse replaces what the first one filled.
    FUZZ_CHECK(slots.parse(&slots) == first);
    ReadAsHandler(response->body);

    const Kestrel::RestCallSite site{"Fuzz", "kestrel_fuzz::Exercise", __LINE__};
    const int judged = Kestrel::JudgeRestAnswer(site, slots);
    FUZZ_CHECK((judged == 0) == (httpCode == 200 && apiCode == 1000));
    if (judged != 0) FUZZ_CHECK(judged == (apiCode != 1000 ? apiCode : httpCode));

    auto* copy = static_cast<Response*>(std::malloc(sizeof(Response)));
    FUZZ_CHECK(copy != nullptr);
    FUZZ_CHECK(slots.copy(&copy->slots, &slots) == 0);
    FUZZ_CHECK(copy->slots.http_code == httpCode && copy->slots.api_code == apiCode);
    FUZZ_CHECK(SameText(copy->slots.dataJson, slots.dataJson) && SameText(copy->slots.api_message, slots.api_message));
    CheckSameBody(response->body, copy->body);

    slots.release(&slots);
    // The copy outlives its source.
    ReadAsHandler(copy->body);
    copy->slots.release(&copy->slots);
}

constexpr int kHttpCodes[] = {200, 200, 500, 404};
constexpr int kApiCodes[] = {1000, 1000, 1005, -1};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vkl::Host::SetLogSink([](const vkl::Host::LogRecord&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string json = text.substr(0, text.find('\0'));
    const int httpCode = kHttpCodes[(data[0] / 5) % 4];
    const int apiCode = kApiCodes[(data[0] / 20) % 4];
    switch (data[0] % 5) {
        case 0: Exercise(Kestrel::CreatePSIBPtzAddPresetTaskResponse, json, httpCode, apiCode); break;
        case 1: Exercise(Kestrel::CreatePSIBPtzDelPresetTaskResponse, json, httpCode, apiCode); break;
        case 2: Exercise(Kestrel::CreatePSIBPtzGetPresetTaskResponse, json, httpCode, apiCode); break;
        case 3: Exercise(Kestrel::CreateVSLDevicesRestartResponse, json, httpCode, apiCode); break;
        default: Exercise(Kestrel::CreateVSLPtzSetIdleMotionResponse, json, httpCode, apiCode); break;
    }
    return 0;
}
