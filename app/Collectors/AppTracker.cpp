#include "Collectors/AppTracker.h"

#include "core/Text.h"

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
    m_availabilityObserver = m_workspace.addAvailabilityObserver([this](bool available) {
        // Silently: losing the display is not switching to another application.
        if (!available) {
            m_current = AppContext{};
        }
    });
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
    if (m_availabilityObserver) {
        m_workspace.removeAvailabilityObserver(*m_availabilityObserver);
        m_availabilityObserver.reset();
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
    // Window properties are whatever bytes a client chose to set.
    if (context.bundleID) {
        context.bundleID = Text::validUTF8(*context.bundleID, kMaxTextCharacters);
    }
    context.appName = Text::validUTF8(context.appName, kMaxTextCharacters);
    context.windowTitle = Text::validUTF8(context.windowTitle, kMaxTextCharacters);
    if (context == m_current) {
        return;
    }
    m_current = std::move(context);
    if (onContextChange) {
        onContextChange(m_current);
    }
}

} // namespace kestrove
