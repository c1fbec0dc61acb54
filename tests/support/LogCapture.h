#pragma once

#include "Platform/Log.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace kestrove {

// Collects the log's lines while it lives, from any thread.
class LogCapture
{
public:
    LogCapture()
    {
        Log::setSink([this](Log::Level, const std::string& category, const std::string& line) {
            const std::lock_guard lock(m_mutex);
            m_lines.push_back(category + ": " + line);
        });
    }
    ~LogCapture() { Log::setSink({}); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Lines that contain `text`.
    int count(const std::string& text) const
    {
        const std::lock_guard lock(m_mutex);
        return static_cast<int>(std::count_if(m_lines.begin(), m_lines.end(), [&](const auto& l) {
            return l.find(text) != std::string::npos;
        }));
    }
    bool contains(const std::string& text) const { return count(text) > 0; }
    std::size_t size() const
    {
        const std::lock_guard lock(m_mutex);
        return m_lines.size();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

} // namespace kestrove
