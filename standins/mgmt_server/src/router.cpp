#include "router.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>
#include <boost/url/parse.hpp>

namespace mgmt {
namespace {

namespace json = boost::json;
using boost::beast::http::verb;

struct BadRequest : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <class T>
T WholeNumber(const json::value& v, const std::string& what) {
    constexpr T low = std::numeric_limits<T>::min();
    constexpr T high = std::numeric_limits<T>::max();
    if (v.is_int64() && v.get_int64() >= low && v.get_int64() <= high) return static_cast<T>(v.get_int64());
    if (v.is_uint64() && v.get_uint64() <= static_cast<std::uint64_t>(high)) return static_cast<T>(v.get_uint64());
    throw BadRequest(what + " must be an integer");
}

// Members of a request body; absent or null members keep their default.
class BodyReader {
public:
    explicit BodyReader(const json::object& object) : m_object(object) {}

    template <class T>
    void Integer(const char* name, T& out) const {
        if (const json::value* v = Find(name)) out = WholeNumber<T>(*v, name);
    }
    void Text(const char* name, std::string& out) const {
        if (const json::value* v = Find(name)) {
            if (!v->is_string()) throw BadRequest(std::string(name) + " must be a text");
            out = std::string(v->get_string());
        }
    }
    void Flag(const char* name, bool& out) const {
        if (const json::value* v = Find(name)) {
            if (v->is_bool())
                out = v->get_bool();
            else
                out = WholeNumber<std::int64_t>(*v, name) != 0;
        }
    }
    const json::value* Find(const char* name) const {
        const json::value* v = m_object.if_contains(name);
        return v && !v->is_null() ? v : nullptr;
    }

private:
    const json::object& m_object;
};

json::object ParseObject(const std::string& body) {
    boost::system::error_code ec;
    json::value v = json::parse(body, ec);
    if (ec) throw BadRequest("the body is not JSON");
    if (!v.is_object()) throw BadRequest("the body is not a JSON object");
    return std::move(v.get_object());
}

Answer SaveTask(Store& store, const std::string& body) {
    const json::object object = ParseObject(body);
    BodyReader reader(object);
    GuardPresetTask task;
    if (!reader.Find("channelCode")) throw BadRequest("channelCode is missing");
    reader.Text("channelCode", task.channelCode);
    reader.Text("channelSn", task.channelSn);
    reader.Integer("status", task.status);
    if (const json::value* list = reader.Find("configList")) {
        if (!list->is_array()) throw BadRequest("configList must be a list");
        for (const json::value& item : list->get_array()) {
            if (!item.is_object()) throw BadRequest("configList items must be objects");
            BodyReader c(item.get_object());
            GuardPresetConfig config;
            c.Integer("presetIndex", config.presetIndex);
            c.Text("beginTime", config.beginTime);
            c.Text("endTime", config.endTime);
            c.Integer("idleTime", config.idleTime);
            c.Integer("type", config.type);
            c.Integer("cover", config.cover);
            task.configList.push_back(std::move(config));
        }
    }
    Answer answer;
    answer.data = json::object{{"id", store.SaveGuardPresetTask(std::move(task))}};
    return answer;
}

Answer GetTask(Store& store, const std::string& channelCode, const boost::urls::url_view& url) {
    for (const auto& param : url.params()) {
        if (param.key != "type") continue;
        const std::string& value = param.value;
        std::size_t used = 0;
        try {
            (void)std::stoi(value, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (value.empty() || used != value.size()) throw BadRequest("type must be an integer");
    }
    json::object data;
    data["channelCode"] = channelCode;
    json::array list;
    std::int64_t id = 0;
    int status = 0;
    if (auto task = store.GuardPresetTaskOf(channelCode)) {
        id = task->id;
        status = task->status;
        if (!task->channelSn.empty()) data["channelSn"] = task->channelSn;
        for (const GuardPresetConfig& c : task->configList) {
            list.push_back(json::object{{"presetIndex", c.presetIndex},
                                        {"beginTime", c.beginTime},
                                        {"endTime", c.endTime},
                                        {"idleTime", c.idleTime},
                                        {"type", c.type},
                                        {"id", c.id},
                                        {"cover", c.cover}});
        }
    }
    data["configList"] = std::move(list);
    data["id"] = id;
    data["status"] = status;
    Answer answer;
    answer.data = std::move(data);
    return answer;
}

Answer DeleteTask(Store& store, const std::string& idText) {
    std::int64_t id = 0;
    std::size_t used = 0;
    try {
        id = std::stoll(idText, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (idText.empty() || used != idText.size()) throw BadRequest("the task id must be an integer");
    if (!store.DeleteGuardPresetTask(id)) return ErrorAnswer(200, kCodeNotFound, "no such guard-preset task");
    return Answer();
}

Answer SetIdleMotion(Store& store, const std::string& channelCode, const std::string& body) {
    const json::object object = ParseObject(body);
    BodyReader reader(object);
    IdleMotionSetting setting;
    reader.Flag("enable", setting.enable);
    reader.Text("function", setting.function);
    reader.Integer("index", setting.index);
    reader.Integer("second", setting.second);
    store.SetIdleMotion(channelCode, setting);
    return Answer();
}

bool Matches(const std::vector<std::string>& segments, std::initializer_list<const char*> route) {
    if (segments.size() != route.size() + 1) return false;
    std::size_t i = 0;
    for (const char* part : route)
        if (segments[i++] != part) return false;
    return true;
}

}  // namespace

Answer ErrorAnswer(unsigned status, int code, std::string message) {
    Answer answer;
    answer.status = status;
    answer.code = code;
    answer.message = std::move(message);
    return answer;
}

Answer Route(Store& store, verb method, std::string_view target, const std::string& body) {
    auto parsed = boost::urls::parse_origin_form(target);
    if (!parsed) return ErrorAnswer(400, kCodeBadRequest, "malformed request target");
    const boost::urls::url_view url = *parsed;
    std::vector<std::string> segments;
    for (const std::string segment : url.segments()) segments.push_back(segment);

    try {
        if (method == verb::post && segments == std::vector<std::string>{"psib", "ptz", "presetTask"})
            return SaveTask(store, body);
        if (method == verb::get && Matches(segments, {"psib", "ptz", "presetTask"}))
            return GetTask(store, segments.back(), url);
        if (method == verb::delete_ && Matches(segments, {"psib", "ptz", "presetTask"}))
            return DeleteTask(store, segments.back());
        if (method == verb::put && Matches(segments, {"videoService", "ptz", "idleMotion", "channels"}))
            return SetIdleMotion(store, segments.back(), body);
        if (method == verb::put && Matches(segments, {"videoService", "devices", "restart"})) {
            store.RecordRestart(segments.back());
            return Answer();
        }
    } catch (const BadRequest& e) {
        return ErrorAnswer(400, kCodeBadRequest, e.what());
    }
    return ErrorAnswer(404, kCodeNoSuchRoute, "no such route");
}

std::string EnvelopeText(const Answer& answer) {
    json::object envelope;
    envelope["code"] = answer.code;
    envelope["message"] = answer.message;
    if (!answer.rawData) {
        envelope["data"] = answer.data;
        return json::serialize(envelope);
    }
    std::string text = json::serialize(envelope);
    text.pop_back();  // the closing brace
    return text + ",\"data\":" + *answer.rawData + "}";
}

}  // namespace mgmt
