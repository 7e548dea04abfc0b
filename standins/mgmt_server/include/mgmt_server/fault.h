#pragma once
// Misbehaviour on demand, for tests of the client side.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace mgmt {

struct Fault {
    enum class Kind {
        // Answer with the fields below. When none of httpStatus, serverCode
        // and dataJson is set, the request is served as usual (after the
        // delay); otherwise it is not served and this envelope is the answer.
        Answer,
        // A 200 answer whose body is cut-off JSON.
        BrokenBody,
        // A valid 200 envelope whose "message" makes the body hugeBytes long.
        HugeBody,
        // The status line and headers, a few body bytes, then the connection
        // is closed.
        CloseMidAnswer,
        // The request is read and the connection closed without an answer,
        // as a server does that drops a kept-alive connection just then.
        CloseWithoutAnswer,
    };

    // Which requests it applies to: "" matches any method; a path matches
    // when the request's path starts with it ("" matches any).
    std::string method;
    std::string path;
    // How many matching requests it applies to, from the next one on.
    int count = 1;

    Kind kind = Kind::Answer;
    int httpStatus = 0;             // 0: 200
    std::optional<int> serverCode;  // unset: 1000
    std::string message;            // "" : "injected fault"
    std::optional<std::string> dataJson;  // raw JSON text sent as "data"
    // Waits this long before answering (or misbehaving).
    std::chrono::milliseconds delay{0};
    std::size_t hugeBytes = 9u << 20;
};

}  // namespace mgmt
