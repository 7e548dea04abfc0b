#include "output.h"

#include <ostream>

#include <boost/json/serialize.hpp>

namespace kestrel_host {

Output::Output(std::ostream& out, std::ostream& err, bool json) : m_out(out), m_err(err), m_json(json) {}

void Output::SetEventsShown(bool shown) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_eventsShown = shown;
}

void Output::Event(const EventRecord& event, const std::optional<Answer>& answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_eventsShown) return;
    if (m_json)
        m_out << boost::json::serialize(FormatEventJson(event, answer)) << std::endl;
    else
        m_out << FormatEventText(event, answer) << std::endl;
}

void Output::Note(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    (m_json ? m_err : m_out) << text << std::endl;
}

void Output::Section(const std::string& title) {
    std::lock_guard<std::mutex> lock(m_mutex);
    (m_json ? m_err : m_out) << "== " << title << std::endl;
}

void Output::Reply(const std::string& name, const boost::json::object& values) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_json) {
        boost::json::object reply;
        reply["reply"] = name;
        for (const auto& value : values) reply[value.key()] = value.value();
        m_out << boost::json::serialize(reply) << std::endl;
    } else {
        m_out << name << ':';
        if (!values.empty()) m_out << ' ' << TextFields(values);
        m_out << std::endl;
    }
}

void Output::Record(const boost::json::object& json, const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_json)
        m_out << boost::json::serialize(json) << std::endl;
    else
        m_out << text << std::flush;
}

void Output::Error(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_out << std::flush;
    m_err << text << std::endl;
}

}  // namespace kestrel_host
