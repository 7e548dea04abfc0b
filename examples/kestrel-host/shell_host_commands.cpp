// Shell commands of the host: observers, server events, faults, the second
// operator, waiting, and the session itself.
#include <chrono>
#include <map>
#include <thread>

#include <boost/json/array.hpp>
#include <boost/json/object.hpp>

#include "fault_control.h"
#include "host_session.h"
#include "output.h"
#include "platform_events.h"
#include "shell.h"
#include "value_parse.h"

namespace kestrel_host {

namespace {

const std::vector<std::pair<std::string, int>> kFacades = {
    {"device", static_cast<int>(Facade::Device)}, {"ptz", static_cast<int>(Facade::Ptz)},
    {"face", static_cast<int>(Facade::Face)}};

Facade FacadeArg(const Args& a) {
    const int value = a.Choice("facade", kFacades);
    if (value < 0 || value > 2) throw UsageError("facade: expected device, ptz or face");
    return static_cast<Facade>(value);
}

std::string PushUsage() {
    std::string text;
    for (const PushKind& kind : PushKinds()) {
        text += "push " + kind.name;
        for (const auto& [name, fallback] : kind.values)
            text += " [" + name + "=" + (fallback.empty() ? "now" : fallback) + "]";
        text += " [broken]   -> " + kind.eventName + "\n       ";
    }
    return text + "push all";
}

}  // namespace

void Shell::AddHostCommands() {
    const std::string g = "host";

    Add({"RegisterObserver", g, "register the host's observer with a façade again",
         {{"facade", std::nullopt, "device, ptz or face"}}},
        [=](const Args& a) { m_out.Reply("RegisterObserver", {{"returned", m_session.RegisterObserver(FacadeArg(a))}}); });
    Add({"UnRegisterObserver", g, "unregister the host's observer from a façade (its events are no longer shown)",
         {{"facade", std::nullopt, "device, ptz or face"}}},
        [=](const Args& a) {
            m_out.Reply("UnRegisterObserver", {{"returned", m_session.UnRegisterObserver(FacadeArg(a))}});
        });

    CommandSyntax push{"push", g, "make the platform push a server event over the operator's login connection",
                     {{"kind", std::nullopt, ""}, {"values", std::nullopt, ""}}, true};
    push.forms = {PushUsage()};
    Add(push, [=](const Args& a) {
        std::map<std::string, std::string> values;
        bool broken = false;
        for (const std::string& word : a.Rest()) {
            const std::size_t eq = word.find('=');
            if (word == "broken")
                broken = true;
            else if (eq == std::string::npos || eq == 0)
                throw UsageError("expected name=value or broken, got \"" + word + "\"");
            else
                values[word.substr(0, eq)] = word.substr(eq + 1);
        }
        std::vector<const PushKind*> kinds;
        if (a.Text("kind") == "all") {
            if (!values.empty() || broken) throw UsageError("push all takes no values");
            for (const PushKind& kind : PushKinds()) kinds.push_back(&kind);
        } else if (const PushKind* kind = FindPushKind(a.Text("kind"))) {
            kinds.push_back(kind);
        } else {
            throw UsageError("unknown event kind \"" + a.Text("kind") + "\"");
        }
        for (const PushKind* kind : kinds) {
            if (!m_calls.Push(*kind, values, broken)) throw CommandFailed("the platform took no event: nobody is logged in");
            m_out.Reply("push", {{"kind", kind->name}, {"login_event", kind->loginEvent}, {"broken", broken}});
        }
    });

    CommandSyntax fault{"fault", g, "inject a platform or server fault, or clear them",
                      {{"target", std::nullopt, ""}, {"values", std::nullopt, ""}}, true};
    auto form = [](const std::string& command, const std::string& what) {
        return command + std::string(command.size() < 52 ? 52 - command.size() : 1, ' ') + what;
    };
    fault.forms = {
        form("fault platform <function|all> code <rc> [count=1]", "the next calls return rc"),
        form("fault platform <function|all> latency <ms>", "every call waits (0 ends it)"),
        form("fault platform outage [rc=" + std::to_string(kOutageCode) + "]", "every call fails until fault clear"),
        form("fault server code <apiCode> [count=1] [http=200]", "the next answers carry that code"),
        form("fault server latency <ms> [count=1]", "the next answers come late"),
        form("fault server outage", "the server refuses connections until fault clear"),
        form("fault clear", "drop every fault"),
        "(help fault lists the functions)"};
    fault.params[1].help = "the functions: " + [] {
        std::string list;
        for (const std::string& f : KestrelPlatformCalls()) list += (list.empty() ? "" : " ") + f;
        return list;
    }();
    Add(fault, [=](const Args& a) {
        const std::string target = a.Text("target");
        const std::vector<std::string>& v = a.Rest();
        auto arg = [&](std::size_t i) -> const std::string& {
            if (i >= v.size()) throw UsageError("too few values");
            return v[i];
        };
        auto optionalInt = [&](std::size_t i, const std::string& name, int fallback) {
            return i < v.size() ? ParseInt(v[i], name) : fallback;
        };
        if (target == "clear") {
            if (!v.empty()) throw UsageError("fault clear takes no values");
            ClearFaults(m_session.LocalServer());
            m_out.Reply("fault", {{"cleared", true}});
            return;
        }
        if (target == "platform") {
            if (arg(0) == "outage") {
                if (v.size() > 2) throw UsageError("too many values");
                const int code = optionalInt(1, "rc", kOutageCode);
                PlatformOutage(code);
                m_out.Reply("fault", {{"platform", "outage"}, {"rc", code}});
                return;
            }
            const std::string& function = arg(0);
            if (arg(1) == "code") {
                const int code = ParseInt(arg(2), "rc");
                const int count = optionalInt(3, "count", 1);
                if (v.size() > 4) throw UsageError("too many values");
                if (!FailPlatformCalls(function, count, code)) throw UsageError("unknown function \"" + function + "\"");
                m_out.Reply("fault", {{"platform", function}, {"rc", code}, {"count", count}});
            } else if (arg(1) == "latency") {
                const int ms = ParseInt(arg(2), "ms", 0, 60000);
                if (v.size() > 3) throw UsageError("too many values");
                if (!SetPlatformLatency(function, std::chrono::milliseconds(ms)))
                    throw UsageError("unknown function \"" + function + "\"");
                m_out.Reply("fault", {{"platform", function}, {"latency_ms", ms}});
            } else {
                throw UsageError("expected code, latency or outage, got \"" + arg(1) + "\"");
            }
            return;
        }
        if (target == "server") {
            mgmt::Server* server = m_session.LocalServer();
            if (server == nullptr) throw CommandFailed("server faults need the in-process server (not with --server)");
            if (arg(0) == "outage") {
                if (v.size() > 1) throw UsageError("too many values");
                ServerOutage(*server);
                m_out.Reply("fault", {{"server", "outage"}});
            } else if (arg(0) == "code") {
                const int code = ParseInt(arg(1), "apiCode");
                int count = 1, http = 200;
                for (std::size_t i = 2; i < v.size(); ++i) {
                    if (v[i].rfind("http=", 0) == 0)
                        http = ParseInt(v[i].substr(5), "http", 100, 599);
                    else
                        count = ParseInt(v[i], "count", 1);
                }
                FailServerAnswers(*server, count, code, http);
                m_out.Reply("fault", {{"server", "code"}, {"apiCode", code}, {"http", http}, {"count", count}});
            } else if (arg(0) == "latency") {
                const int ms = ParseInt(arg(1), "ms", 0, 60000);
                const int count = optionalInt(2, "count", 1);
                if (v.size() > 3) throw UsageError("too many values");
                DelayServerAnswers(*server, count, std::chrono::milliseconds(ms));
                m_out.Reply("fault", {{"server", "latency"}, {"latency_ms", ms}, {"count", count}});
            } else {
                throw UsageError("expected code, latency or outage, got \"" + arg(0) + "\"");
            }
            return;
        }
        throw UsageError("expected platform, server or clear, got \"" + target + "\"");
    });

    Add({"supervisor", g, "the second operator, at another client: lock, unlock, query, logout",
         {{"action", std::nullopt, "lock, unlock, query or logout"}, {"code", "", ""}, {"lockTime", "60", "seconds"}}},
        [=](const Args& a) {
            const std::string action = a.Text("action");
            SecondOperator& supervisor = m_session.Supervisor();
            if (action == "logout") {
                supervisor.LogOut();
                m_out.Reply("supervisor", {{"loggedIn", false}});
                return;
            }
            const int lock = action == "lock" ? 1 : action == "unlock" ? 2 : action == "query" ? 5 : 0;
            if (lock == 0) throw UsageError("action: expected lock, unlock, query or logout, got \"" + action + "\"");
            if (a.Text("code").empty()) throw UsageError("missing code");
            const SecondOperator::LockAnswer answer = supervisor.Arrange(a.Text("code"), lock, a.Int("lockTime", 0));
            m_out.Reply("supervisor", {{"rc", answer.rc},
                                       {"status", answer.status},
                                       {"holder", answer.holder},
                                       {"seconds", answer.answer}});
        });

    Add({"wait", g, "wait until every request sent is answered", {{"seconds", "", "default: --timeout"}}},
        [=](const Args& a) {
            const auto timeout = a.Given("seconds") ? std::chrono::milliseconds(a.Int("seconds", 0, 3600) * 1000)
                                                    : m_session.Options().timeout;
            if (m_session.WaitAll(timeout)) {
                m_out.Reply("wait", {{"pending", 0}});
                return;
            }
            std::string missing;
            for (const OutstandingRequest& r : m_session.Tracker().Outstanding())
                missing += "\n  " + r.operation + " " + r.subject + (r.seq ? " seq " + std::to_string(r.seq) : std::string());
            throw CommandFailed("no answer yet:" + missing);
        });
    Add({"await", g, "wait for the next event of that type not awaited before (e.g. PTZ_EVENT_LOCK_EXPIRED)",
         {{"event", std::nullopt, "an enumerator name"}, {"seconds", "", "default: --timeout"}}},
        [=](const Args& a) {
            const std::string name = a.Text("event");
            const auto timeout = a.Given("seconds") ? std::chrono::milliseconds(a.Int("seconds", 0, 3600) * 1000)
                                                    : m_session.Options().timeout;
            std::size_t& used = m_awaited[name];
            const bool seen = m_session.Hub().WaitUntil(
                [&] {
                    const auto seenByName = m_session.Hub().SeenByName();
                    auto found = seenByName.find(name);
                    return found != seenByName.end() && found->second > used;
                },
                timeout);
            if (!seen) throw CommandFailed("no " + name + " within the time-out");
            ++used;
            m_out.Reply("await", {{"event", name}});
        });
    Add({"sleep", g, "pause the script", {{"seconds", std::nullopt, "up to 600, fractions allowed"}}},
        [=](const Args& a) {
            const double seconds = a.Double("seconds");
            if (seconds < 0 || seconds > 600) throw UsageError("seconds: expected 0 to 600");
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        });
    Add({"echo", g, "print a line", {{"text", std::nullopt, ""}}, true}, [=](const Args& a) {
        std::string text;
        for (const std::string& word : a.Rest()) text += (text.empty() ? "" : " ") + word;
        m_out.Record({{"echo", text}}, text + "\n");
    });
    Add({"help", g, "list the commands, or show one command's parameters", {{"topic", "", "a command or a group"}}},
        [=](const Args& a) { Help(a.Text("topic")); });
    Add({"quit", g, "end the session (also: exit, or the end of the input)", {}}, [=](const Args&) { m_quit = true; });
    Add({"exit", g, "end the session", {}}, [=](const Args&) { m_quit = true; });
}

}  // namespace kestrel_host
