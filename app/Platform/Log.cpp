#include "Platform/Log.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace kestrove {

namespace {

std::mutex& sinkMutex()
{
    static std::mutex mutex;
    return mutex;
}

Log::Sink& sink()
{
    static Log::Sink current;
    return current;
}

const char* levelName(Log::Level level)
{
    switch (level) {
    case Log::Level::debug: return "debug";
    case Log::Level::info: return "info";
    case Log::Level::error: return "error";
    case Log::Level::fault: return "fault";
    }
    return "info";
}

} // namespace

void Log::setSink(Sink newSink)
{
    std::lock_guard lock(sinkMutex());
    sink() = std::move(newSink);
}

void Log::write(Level level, std::string_view message) const
{
    std::lock_guard lock(sinkMutex());
    if (sink()) {
        sink()(level, m_category, std::string(message));
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    std::fprintf(stderr, "%s %s [%s] %.*s\n", stamp, levelName(level), m_category.c_str(),
                 static_cast<int>(message.size()), message.data());
}

} // namespace kestrove
