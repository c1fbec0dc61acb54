#pragma once

#include "Platform/Scheduler.h"
#include "Platform/Workspace.h"

#include <functional>
#include <memory>

namespace kestrove {

// Whether Kestrove may read window titles, re-read on demand or every 2 s while a page that
// explains the permission is open.
class PermissionsManager
{
public:
    static constexpr double kPollInterval = 2.0;

    PermissionsManager(Workspace& workspace, Scheduler& scheduler);

    bool hasAccessibility() const { return m_hasAccessibility; }
    // Called only when `hasAccessibility` changes.
    std::function<void(bool)> onAccessibilityChange;

    void refreshAccessibility();
    // Reads now and then every 2 s; a second call restarts the one poll.
    void startPolling();
    void stopPolling();
    bool isPolling() const { return m_pollTimer != nullptr; }

private:
    Workspace& m_workspace;
    Scheduler& m_scheduler;
    bool m_hasAccessibility = false;
    std::unique_ptr<ScheduledTimer> m_pollTimer;
};

} // namespace kestrove
