#pragma once
// Everything the example host prints goes through one Output, so that lines
// written by the UI loop, the pool and the main thread never interleave.
// In JSON mode standard output carries only JSON objects, one a line; the
// narration goes to standard error.
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>

#include <boost/json/object.hpp>

#include "event_format.h"
#include "event_record.h"

namespace kestrel_host {

class Output {
public:
    Output(std::ostream& out, std::ostream& err, bool json);

    bool Json() const { return m_json; }
    // Events are not printed while muted (they are still counted elsewhere).
    void SetEventsShown(bool shown);

    void Event(const EventRecord& event, const std::optional<Answer>& answer);
    // Narration: stdout in text mode, stderr in JSON mode.
    void Note(const std::string& text);
    // A section title of the demo.
    void Section(const std::string& title);
    // What a command returned: text "name: k=v ...", JSON {"reply": name, k: v, ...}.
    void Reply(const std::string& name, const boost::json::object& values);
    // A JSON object as it is (JSON mode) or its text form (text mode).
    void Record(const boost::json::object& json, const std::string& text);
    // Errors always go to stderr as text.
    void Error(const std::string& text);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    const bool m_json;
    bool m_eventsShown = true;
    std::mutex m_mutex;
};

}  // namespace kestrel_host
