#pragma once

#include "Engine/ChangeObservers.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

class Preferences;

// The applications allowed in every lock-in, and those picked for the last one. Both lists
// hold lower-cased bundle identifiers, sorted, and are written to the preferences as soon as
// they change. One instance lives for the process; the program's wiring hands it out.
class AppAllowlistPresets
{
public:
    static constexpr const char* kAlwaysAllowedKey = "alwaysAllowedBundleIDs";
    static constexpr const char* kLastUsedKey = "lastUsedAllowlistBundleIDs";
    // Still kept by the focus-task card; read only when the newer key is absent.
    static constexpr const char* kOlderLastUsedKey = "lastFocusTaskAllowedBundleIDs";

    explicit AppAllowlistPresets(Preferences& preferences);

    const std::vector<std::string>& alwaysAllowed() const { return m_alwaysAllowed; }
    const std::vector<std::string>& lastUsed() const { return m_lastUsed; }
    ChangeObservers& observers() { return m_observers; }

    void setAlwaysAllowed(const std::vector<std::string>& ids);
    void removeAlwaysAllowed(std::string_view id);
    // An empty selection never replaces the last-used list.
    void rememberLastUsed(const std::vector<std::string>& ids);
    // The given identifiers and the always-allowed ones, lower-cased, each once, in no order.
    std::vector<std::string> merged(const std::vector<std::string>& ids) const;

private:
    void assign(std::vector<std::string>& field, std::vector<std::string> value);

    Preferences& m_preferences;
    std::vector<std::string> m_alwaysAllowed;
    std::vector<std::string> m_lastUsed;
    ChangeObservers m_observers;
};

} // namespace kestrove
