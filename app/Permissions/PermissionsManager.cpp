#include "Permissions/PermissionsManager.h"

namespace kestrove {

PermissionsManager::PermissionsManager(Workspace& workspace, Scheduler& scheduler)
    : m_workspace(workspace), m_scheduler(scheduler)
{}

void PermissionsManager::refreshAccessibility()
{
    const bool trusted = m_workspace.isTrusted();
    if (trusted == m_hasAccessibility) {
        return;
    }
    m_hasAccessibility = trusted;
    if (onAccessibilityChange) {
        onAccessibilityChange(trusted);
    }
}

void PermissionsManager::startPolling()
{
    refreshAccessibility();
    m_started = true;
    m_pollTimer.reset();
    updatePoll();
}

void PermissionsManager::stopPolling()
{
    m_started = false;
    updatePoll();
}

Subscription PermissionsManager::keepPolling()
{
    refreshAccessibility();
    ++m_leases;
    updatePoll();
    return Subscription([weak = std::weak_ptr<PermissionsManager*>(m_self)] {
        if (const auto self = weak.lock()) {
            --(*self)->m_leases;
            (*self)->updatePoll();
        }
    });
}

void PermissionsManager::updatePoll()
{
    if (!m_started && m_leases == 0) {
        m_pollTimer.reset();
    } else if (!m_pollTimer) {
        m_pollTimer = m_scheduler.repeating(kPollInterval, [this] { refreshAccessibility(); });
    }
}

} // namespace kestrove
