#pragma once

#include "Platform/Preferences.h"

#include <map>
#include <string>

namespace kestrove {

// In-memory preferences that count every write per key, equal values included.
class RecordingPreferences final : public Preferences
{
public:
    int writes(const std::string& key) const
    {
        const auto it = m_writes.find(key);
        return it == m_writes.end() ? 0 : it->second;
    }
    int totalWrites() const
    {
        int total = 0;
        for (const auto& [key, count] : m_writes) {
            total += count;
        }
        return total;
    }
    void forgetWrites() { m_writes.clear(); }

protected:
    void didWrite(const std::string& key, bool) override { ++m_writes[key]; }

private:
    std::map<std::string, int> m_writes;
};

} // namespace kestrove
