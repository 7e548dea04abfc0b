#include "vkl/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "hostfw/vkl_host.h"

namespace vkl {
namespace {

using Sink = std::function<void(const Host::LogRecord&)>;

// Where lines go. The sink is swapped as a whole so that a line being written
// keeps the sink it started with, and a sink may itself log without deadlock.
struct LogTarget {
    std::mutex sinkMutex;
    std::shared_ptr<const Sink> sink;
    std::atomic<int> minimumLevel{LOG_LEVEL_TRACE};

    std::mutex fileMutex;  // serialises lines of the default sink
    FILE* file = nullptr;  // null: stderr

    ~LogTarget() {
        if (file) std::fclose(file);
    }
};

LogTarget& Target() {
    static LogTarget target;
    return target;
}

const char* LevelName(int level) {
    switch (level) {
    case LOG_LEVEL_TRACE: return "TRACE";
    case LOG_LEVEL_DEBUG: return "DEBUG";
    case LOG_LEVEL_INFO: return "INFO";
    case LOG_LEVEL_WARN: return "WARN";
    case LOG_LEVEL_NOTICE: return "NOTICE";
    case LOG_LEVEL_ERROR: return "ERROR";
    default: return "LOG";
    }
}

std::string FormatText(const char* format, va_list args) {
    if (!format) return std::string();
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) return std::string();
    std::string text(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(needed));
    return text;
}

void WriteDefault(const Host::LogRecord& r) {
    LogTarget& t = Target();
    std::lock_guard<std::mutex> lock(t.fileMutex);
    FILE* out = t.file ? t.file : stderr;
    if (r.level >= LOG_LEVEL_TRACE && r.level <= LOG_LEVEL_ERROR) {
        std::fprintf(out, "%s %s:%d %s [%s] %s\n", LevelName(r.level), r.source.c_str(), r.line,
                     r.function.c_str(), r.tag.c_str(), r.text.c_str());
    } else {
        std::fprintf(out, "L%d %s:%d %s [%s] %s\n", r.level, r.source.c_str(), r.line,
                     r.function.c_str(), r.tag.c_str(), r.text.c_str());
    }
    std::fflush(out);
}

}  // namespace

DPrintLog* DPrintLog::instance() {
    static DPrintLog log;
    return &log;
}

void DPrintLog::Log(const char* source, int line, const char* function, const char* tag, int level,
                    const char* format, ...) {
    LogTarget& t = Target();
    if (level < t.minimumLevel.load(std::memory_order_relaxed)) return;

    Host::LogRecord record;
    record.level = level;
    record.source = source ? source : "";
    record.line = line;
    record.function = function ? function : "";
    record.tag = tag ? tag : "";
    va_list args;
    va_start(args, format);
    record.text = FormatText(format, args);
    va_end(args);

    std::shared_ptr<const Sink> sink;
    {
        std::lock_guard<std::mutex> lock(t.sinkMutex);
        sink = t.sink;
    }
    if (sink) {
        (*sink)(record);
    } else {
        WriteDefault(record);
    }
}

namespace Host {

void SetLogSink(std::function<void(const LogRecord&)> sink) {
    LogTarget& t = Target();
    std::shared_ptr<const Sink> next;
    if (sink) next = std::make_shared<const Sink>(std::move(sink));
    std::lock_guard<std::mutex> lock(t.sinkMutex);
    t.sink.swap(next);
}

void SetLogLevel(int minimumLevel) {
    Target().minimumLevel.store(minimumLevel, std::memory_order_relaxed);
}

bool SetLogFile(const std::string& path) {
    LogTarget& t = Target();
    FILE* next = nullptr;
    if (!path.empty()) {
        next = std::fopen(path.c_str(), "a");
        if (!next) return false;
    }
    std::lock_guard<std::mutex> lock(t.fileMutex);
    if (t.file) std::fclose(t.file);
    t.file = next;
    return true;
}

}  // namespace Host
}  // namespace vkl
