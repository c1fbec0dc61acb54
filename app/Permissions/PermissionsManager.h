#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/Scheduler.h"
#include "Platform/Workspace.h"

#include <functional>
#include <memory>

namespace kestrove {

// Whether Kestrove may read window titles, re-read on demand or every 2 s while a page that
// explains the permission is open. Pages hold a lease each: one poll runs however many pages
// show the permission, and it stops when the last lease ends.
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
    // Reads now and keeps the one poll running until the returned lease is destroyed and no
    // other lease (nor startPolling) holds it.
    [[nodiscard]] Subscription keepPolling();
    bool isPolling() const { return m_pollTimer != nullptr; }

private:
    void updatePoll();

    Workspace& m_workspace;
    Scheduler& m_scheduler;
    bool m_hasAccessibility = false;
    std::unique_ptr<ScheduledTimer> m_pollTimer;
    bool m_started = false;
    int m_leases = 0;
    // Leases that outlive the manager end without touching it.
    std::shared_ptr<PermissionsManager*> m_self = std::make_shared<PermissionsManager*>(this);
};

} // namespace kestrove
