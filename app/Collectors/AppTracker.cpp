#include "Collectors/AppTracker.h"

namespace kestrove {

AppTracker::AppTracker(Workspace& workspace, Scheduler& scheduler)
    : m_workspace(workspace), m_scheduler(scheduler)
{}

AppTracker::~AppTracker()
{
    stop();
}

void AppTracker::start()
{
    stop();
    m_observer = m_workspace.addActivationObserver(
        [this](const FrontmostApplication& application) { updateContext(application); });
    if (const auto frontmost = m_workspace.frontmostApplication()) {
        updateContext(*frontmost);
    }
    m_pollTimer = m_scheduler.repeating(kPollInterval, [this] { refreshCurrentWindowInfo(); });
}

void AppTracker::stop()
{
    if (m_observer) {
        m_workspace.removeActivationObserver(*m_observer);
        m_observer.reset();
    }
    m_pollTimer.reset();
}

void AppTracker::updateContext(const FrontmostApplication& application)
{
    WindowInfo info = m_workspace.windowInfo(application);
    AppContext context;
    context.bundleID = application.bundleID;
    context.appName = application.localizedName.value_or(application.bundleID.value_or("Unknown"));
    context.windowTitle = std::move(info.title);
    context.documentPath = std::move(info.documentPath);
    publish(std::move(context));
}

void AppTracker::refreshCurrentWindowInfo()
{
    const auto application = m_workspace.frontmostApplication();
    if (!application) {
        return;
    }
    WindowInfo info = m_workspace.windowInfo(*application);
    AppContext context;
    context.bundleID = application->bundleID;
    // A nameless application keeps the name it got at activation.
    context.appName = application->localizedName.value_or(m_current.appName);
    context.windowTitle = std::move(info.title);
    context.documentPath = std::move(info.documentPath);
    publish(std::move(context));
}

void AppTracker::publish(AppContext context)
{
    if (context == m_current) {
        return;
    }
    m_current = std::move(context);
    if (onContextChange) {
        onContextChange(m_current);
    }
}

} // namespace kestrove
