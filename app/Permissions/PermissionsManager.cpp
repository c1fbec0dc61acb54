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
    m_pollTimer = m_scheduler.repeating(kPollInterval, [this] { refreshAccessibility(); });
}

void PermissionsManager::stopPolling()
{
    m_pollTimer.reset();
}

} // namespace kestrove
