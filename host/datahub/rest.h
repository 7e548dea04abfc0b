#pragma once
// Datahub's JSON pass-through to the management server's REST interface, and
// the message descriptors through which it turns described records into JSON
// and back.
//
// Described records
//   A record is plain memory whose members a MetaInfo descriptor names: 32-bit
//   and 64-bit integers, booleans (a 32-bit 0 or 1), texts (a const_string_new
//   pointer, null when absent) and lists (a 32-byte FreeBuffer whose elements
//   are records of one size with a descriptor of their own).
//   - JSON from a record (vsl_request_build): an object with one member per
//     described member, in the descriptor's order. Integers are numbers,
//     booleans true/false, lists arrays of objects. A null text is left out.
//     A boolean member named "hasFieldOf_<name>" is never written itself; it
//     says whether member <name> (or _<name>) is written (0: left out). So an
//     empty message (hasFieldOf_nouse + _nouse, never set) builds "{}".
//   - Record from JSON (kmp_response_parse): members missing from the JSON or
//     null stay zero/null; a member that is present sets its
//     "hasFieldOf_<name>" flag, when the descriptor has one, to 1. Integers must
//     be JSON integers (or integral numbers) within the member's range, booleans
//     true/false or an integer (nonzero = 1), texts strings, lists arrays of
//     objects. A member of another type is left zero and the parse reports it,
//     after filling every member that did fit.
//
// The pass-through call
//   DataPassThroughJson sends one HTTP/1.1 request to the management server set
//   by the host (hostfw/rest_host.h) and fills the response object:
//   - method from request slot 2; target from slot 4 (the joined URI of
//     kmp_request_build_uri), or slot 3 when slot 4 is null;
//   - headers: the header list in its order (may be null), then
//     "X-Session-Id: <session id>"; Content-Type from slot 6 and the body from
//     slot 7 for every method but GET, HEAD and DELETE, which carry no body;
//   - timeoutSeconds bounds the whole exchange (connecting, sending, receiving,
//     one retry included); 0 or less means 10 s. The last argument is reserved
//     and ignored (pass 0).
//   - Connections are kept alive and reused between calls; a kept-alive
//     connection that the server closed is retried once on a fresh connection.
//   It returns 0 when an answer with a JSON envelope
//       {"code": <int, 1000 = success>, "message": "<text>", "data": <any>}
//   arrived, whatever its HTTP status; otherwise one of PassThroughError_e.
//   Response slots filled (texts owned by the response, null when absent):
//     0 the URI the request went to      1 the answer's body as received
//     2 http_code                        3 the HTTP reason phrase
//     4 api_code ("code")                5 the answer's Content-Type
//     6 api_message ("message")          7 the answer body's size in bytes
//     8 "data" as JSON text (what kmp_response_parse reads)
//     12 what went wrong, when the call did not return 0
//   With PASS_THROUGH_BAD_ENVELOPE slots 0 to 3, 5, 7 and 12 are filled. The
//   response's texts are freed and replaced, so it must come zero-filled (or
//   from an earlier call). A name is resolved with the system resolver, which
//   the time-out does not bound; use an address.
#include <cstddef>
#include <cstdint>

#include "host_export.h"

namespace Datahub {

class CHeadParamList;

// Results of DataPassThroughJson other than 0.
enum PassThroughError_e {
    PASS_THROUGH_OK = 0,
    // Null request or response, no method or path, a header that is not a
    // valid HTTP header.
    PASS_THROUGH_INVALID_ARGUMENT = -1001,
    // The host has not set the management server's address.
    PASS_THROUGH_NO_SERVER = -1002,
    // The server's address cannot be resolved or refuses the connection.
    PASS_THROUGH_CONNECT_FAILED = -1003,
    // The exchange did not finish within its time-out.
    PASS_THROUGH_TIMEOUT = -1004,
    // The connection broke before the whole answer arrived.
    PASS_THROUGH_CONNECTION_LOST = -1005,
    // The answer is not a valid HTTP response.
    PASS_THROUGH_BAD_ANSWER = -1006,
    // The answer's body exceeds the limit (8 MiB unless the host changed it).
    PASS_THROUGH_ANSWER_TOO_LARGE = -1007,
    // An HTTP answer came whose body is not the JSON envelope.
    PASS_THROUGH_BAD_ENVELOPE = -1008,
    PASS_THROUGH_OUT_OF_MEMORY = -1009,
};

// Member types of a descriptor.
enum MetaType_e {
    META_TYPE_INT32 = 0,   // 4 bytes
    META_TYPE_INT64 = 1,   // 8 bytes
    META_TYPE_BOOL = 2,    // 4 bytes, 0 or 1
    META_TYPE_STRING = 3,  // 8 bytes, const_string_new pointer or null
};

// Describes one record type. Made by metainfo_create, never shared between
// threads while members are still being added; read-only afterwards.
struct MetaInfo;

// A list member of a record: 32 bytes. free_buffer_append adds one element
// per call.
struct FreeBuffer {
    void* data;             // the elements, one after the other
    std::size_t bytes;      // bytes in use
    std::size_t capacity;   // bytes allocated
    std::int32_t count;     // number of elements
    std::int32_t reserved;
};
static_assert(sizeof(FreeBuffer) == 32, "a list member occupies 32 bytes");
static_assert(offsetof(FreeBuffer, count) == 24, "the element count sits at byte 24");

struct PSDKRequest;
struct PSDKResponse;
typedef int (*PSDKRequestBuild)(PSDKRequest* request);
typedef void (*PSDKRequestRelease)(PSDKRequest* request);
typedef int (*PSDKResponseParse)(PSDKResponse* response);
typedef int (*PSDKResponseCopy)(PSDKResponse* destination, const PSDKResponse* source);
typedef void (*PSDKResponseRelease)(PSDKResponse* response);

// A request object: sixteen 8-byte slots, followed without gaps by the body,
// path-parameter and query-parameter records of its message type.
struct PSDKRequest {
    char* operateCode;            // 0
    char* operateName;            // 1
    char* method;                 // 2  "GET", "POST", "PUT", "DELETE", ...
    char* uriPath;                // 3  path without parameters
    char* uri;                    // 4  joined by kmp_request_build_uri
    char* text5;                  // 5  unused
    char* contentType;            // 6
    char* jsonBody;               // 7  the body, set by build
    char* text8;                  // 8  unused
    char* text9;                  // 9  unused
    std::int64_t reserved10[3];   // 10 to 12
    PSDKRequestBuild build;       // 13
    void* reserved14;             // 14
    PSDKRequestRelease release;   // 15
};
static_assert(offsetof(PSDKRequest, operateCode) == 0 * 8, "slot 0");
static_assert(offsetof(PSDKRequest, operateName) == 1 * 8, "slot 1");
static_assert(offsetof(PSDKRequest, method) == 2 * 8, "slot 2");
static_assert(offsetof(PSDKRequest, uriPath) == 3 * 8, "slot 3");
static_assert(offsetof(PSDKRequest, uri) == 4 * 8, "slot 4");
static_assert(offsetof(PSDKRequest, contentType) == 6 * 8, "slot 6");
static_assert(offsetof(PSDKRequest, jsonBody) == 7 * 8, "slot 7");
static_assert(offsetof(PSDKRequest, build) == 13 * 8, "slot 13");
static_assert(offsetof(PSDKRequest, release) == 15 * 8, "slot 15");
static_assert(sizeof(PSDKRequest) == 16 * 8, "sixteen slots, then the records");

// A response object: thirteen 8-byte slots, followed by the body record.
// The pass-through fills slots 0 to 8 and 12 (see above).
struct PSDKResponse {
    char* uri;                    // 0
    char* rawBody;                // 1
    std::int32_t http_code;       // 2
    std::int32_t pad2;
    char* reason;                 // 3
    std::int32_t api_code;        // 4
    std::int32_t pad4;
    char* answerContentType;      // 5
    char* api_message;            // 6
    std::int64_t bodyBytes;       // 7
    char* dataJson;               // 8
    PSDKResponseParse parse;      // 9
    PSDKResponseCopy copy;        // 10
    PSDKResponseRelease release;  // 11
    char* failure;                // 12
};
static_assert(offsetof(PSDKResponse, http_code) == 2 * 8, "slot 2");
static_assert(offsetof(PSDKResponse, api_code) == 4 * 8, "slot 4");
static_assert(offsetof(PSDKResponse, api_message) == 6 * 8, "slot 6");
static_assert(offsetof(PSDKResponse, dataJson) == 8 * 8, "slot 8");
static_assert(offsetof(PSDKResponse, parse) == 9 * 8, "slot 9");
static_assert(offsetof(PSDKResponse, copy) == 10 * 8, "slot 10");
static_assert(offsetof(PSDKResponse, release) == 11 * 8, "slot 11");
static_assert(offsetof(PSDKResponse, failure) == 12 * 8, "slot 12");
static_assert(sizeof(PSDKResponse) == 13 * 8, "thirteen slots, then the body");

// --- descriptors -----------------------------------------------------------

// A descriptor for a record of `size` bytes; null when out of memory.
DATAHUB_REST_API MetaInfo* metainfo_create(std::size_t size);
// Frees a descriptor and its element descriptors (Kestrel keeps its own for
// the life of the process; hosts and tests may free theirs).
DATAHUB_REST_API void metainfo_destroy(MetaInfo* desc);
// Adds a member of MetaType_e `type` at `offset`; `flags` is 0. Returns 0, or
// -1 for a null descriptor or name, an unknown type, or a member that does
// not fit in the record.
DATAHUB_REST_API int metainfo_add_member(MetaInfo* desc, std::size_t offset, int type, const char* name,
                                 int flags);
// Adds a list member (a FreeBuffer at `offset`) whose elements are records of
// `elementSize` bytes; `flags` is 1. Returns the element's descriptor, to which
// its members are added, or null on the same faults as metainfo_add_member.
DATAHUB_REST_API MetaInfo* metainfo_add_child(MetaInfo* desc, std::size_t offset, std::size_t elementSize,
                                      const char* name, int flags);

// --- texts and lists -------------------------------------------------------

// An owned copy of a NUL-terminated text (C heap); null for a null text or
// when out of memory.
DATAHUB_REST_API char* const_string_new(const char* text);
// Frees a const_string_new text; null is ignored.
DATAHUB_REST_API void const_string_clear(const char* text);

// Makes a list member empty without freeing anything it held (use
// object_clear to free a list's contents).
DATAHUB_REST_API void free_buffer_init(void* list);
// Grows a list member by one element of `bytes` bytes, copied from `data`, or
// zero-filled when `data` is null. Returns the element's space inside the
// list, or null (list unchanged) for a null list, 0 bytes or no memory.
// Appending may move the elements.
DATAHUB_REST_API void* free_buffer_append(void* list, const void* data, std::size_t bytes);

// --- records ---------------------------------------------------------------

// Deep copy of a described record: every text and list of `destination` is
// its own. What `destination` held before is overwritten, not freed. Returns
// 0, or -1 for a null argument or no memory (what was not copied is then
// null/empty, so object_clear on the destination is safe).
DATAHUB_REST_API int object_copy(void* destination, const void* source, const MetaInfo* desc);
// Frees every text and list held by a described record and sets them
// null/empty; integers are left as they are.
DATAHUB_REST_API void object_clear(void* record, const MetaInfo* desc);

// The record as compact JSON text (const_string_new-owned), or null for a
// null argument or no memory.
DATAHUB_REST_API char* vsl_request_build(const void* record, const MetaInfo* desc);

// Joins the request's path (slot 3) with its path and query parameters into
// slot 4 (replacing what slot 4 held). A path parameter replaces "{name}" in
// the path when the path has it; otherwise it is appended as one more
// segment (a "/" is added first unless the path ends with one). Query
// parameters follow as "?name=value&name=value". Values are written as in
// JSON (texts without quotes) and percent-encoded: everything except
// A-Z a-z 0-9 - . _ ~ is encoded. Absent members (null texts, unset
// "hasFieldOf_" flags) are left out. Either record/descriptor pair may be
// null. Returns 0, or -1 for a null request or path, -2 for no memory.
DATAHUB_REST_API int kmp_request_build_uri(PSDKRequest* request, const void* pathRecord,
                                   const MetaInfo* pathDesc, const void* queryRecord,
                                   const MetaInfo* queryDesc);

// Fills the described body record from the answer's "data" (slot 8), after
// freeing what the record held. Returns 0 when every present member fitted
// (no "data" or a null one leaves the record empty and returns 0), -1 for a
// null argument, -2 when "data" is not a JSON object, -3 when a member had
// the wrong type or range (the other members are filled), -4 for no memory.
DATAHUB_REST_API int kmp_response_parse(PSDKResponse* response, void* bodyRecord, const MetaInfo* bodyDesc);

// --- the call --------------------------------------------------------------

// See the top of this file. Safe to call from any number of threads at once.
DATAHUB_REST_API int DataPassThroughJson(int sessionId, const CHeadParamList* headers,
                                 PSDKRequest* request, PSDKResponse* response, int timeoutSeconds,
                                 int reserved);

}  // namespace Datahub
