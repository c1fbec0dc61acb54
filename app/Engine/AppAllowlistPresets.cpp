#include "Engine/AppAllowlistPresets.h"

#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Text.h"

#include <algorithm>
#include <set>

namespace kestrove {

namespace {

// Lower-cased and sorted; duplicates stay, as the user picked them.
std::vector<std::string> normalised(const std::vector<std::string>& ids)
{
    std::vector<std::string> out;
    out.reserve(ids.size());
    for (const std::string& id : ids) {
        out.push_back(Text::lowercased(id));
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

AppAllowlistPresets::AppAllowlistPresets(Preferences& preferences) : m_preferences(preferences)
{
    if (auto stored = preferences.stringArray(kAlwaysAllowedKey)) {
        m_alwaysAllowed = normalised(*stored);
    }
    auto lastUsed = preferences.stringArray(kLastUsedKey);
    if (!lastUsed) {
        lastUsed = preferences.stringArray(kOlderLastUsedKey);
    }
    if (lastUsed) {
        m_lastUsed = normalised(*lastUsed);
    }
}

void AppAllowlistPresets::assign(std::vector<std::string>& field, std::vector<std::string> value)
{
    assertMainThread();
    if (field == value) {
        return;
    }
    field = std::move(value);
    m_observers.notify();
}

void AppAllowlistPresets::setAlwaysAllowed(const std::vector<std::string>& ids)
{
    assertMainThread();
    assign(m_alwaysAllowed, normalised(ids));
    m_preferences.setStringArray(kAlwaysAllowedKey, m_alwaysAllowed);
}

void AppAllowlistPresets::removeAlwaysAllowed(std::string_view id)
{
    assertMainThread();
    std::vector<std::string> kept = m_alwaysAllowed;
    std::erase(kept, Text::lowercased(id));
    assign(m_alwaysAllowed, std::move(kept));
    m_preferences.setStringArray(kAlwaysAllowedKey, m_alwaysAllowed);
}

void AppAllowlistPresets::rememberLastUsed(const std::vector<std::string>& ids)
{
    assertMainThread();
    std::vector<std::string> candidate = normalised(ids);
    if (candidate.empty() || candidate == m_lastUsed) {
        return;
    }
    assign(m_lastUsed, std::move(candidate));
    m_preferences.setStringArray(kLastUsedKey, m_lastUsed);
}

std::vector<std::string> AppAllowlistPresets::merged(const std::vector<std::string>& ids) const
{
    std::set<std::string> all(m_alwaysAllowed.begin(), m_alwaysAllowed.end());
    for (const std::string& id : ids) {
        all.insert(Text::lowercased(id));
    }
    return {all.begin(), all.end()};
}

} // namespace kestrove
