#include "Views/Shell/ShellController.h"

#include "Engine/MorningGateController.h"
#include "Engine/SessionEngine.h"
#include "Platform/Log.h"
#include "ViewLogic/Shell/StatusTitle.h"
#include "ViewLogic/Shell/UrlRoute.h"

namespace kestrove {

namespace {

const Log kLog("app");

// While the engine ticks, each tick restarts this timer before it can fire: the title costs no
// wake-up of its own.
constexpr int kTitleFallbackMilliseconds = 2000;

} // namespace

ShellController::ShellController(SessionEngine& engine, Preferences& preferences, Hooks hooks)
    : m_engine(engine), m_hooks(std::move(hooks)),
      m_dashboard(engine, m_navigation, preferences, m_hooks.pages)
{
    connect(&m_statusItem, &StatusItem::activated, this, &ShellController::togglePopover);
    connect(&m_titleTimer, &QTimer::timeout, this, &ShellController::updateTitle);
    m_titleTimer.setInterval(kTitleFallbackMilliseconds);
    m_secondTicked = m_engine.secondTicked().subscribe([this] {
        updateTitle();
        if (m_titleTimer.isActive()) {
            m_titleTimer.start();
        }
    });
}

ShellController::~ShellController() = default;

void ShellController::launch()
{
    updateTitle();
    if (m_hooks.popoverContent) {
        m_popover.setContent(m_hooks.popoverContent());
    }
    m_titleTimer.start();
    if (!m_statusItem.isTrayAvailable()) {
        kLog.info("no system tray to show Kestrove's icon in: the dashboard opens instead; the "
                  "icon appears when a tray starts");
        m_dashboard.show();
    }
}

void ShellController::updateTitle()
{
    StatusInputs inputs;
    inputs.isShutdownComplete = m_engine.isShutdownComplete();
    inputs.isPaused = m_engine.tracker().isPaused();
    inputs.activeTask = m_engine.focusTaskManager().active();
    inputs.liveDeepSecondsToday = m_engine.liveDeepSecondsToday();
    m_statusItem.setTitle(QString::fromStdString(statusTitle(inputs)));
}

void ShellController::togglePopover()
{
    const QRect icon = m_statusItem.geometry();
    m_popover.toggle(icon.isEmpty() ? std::nullopt : std::optional<QRect>(icon));
}

void ShellController::openUrl(const std::string& text)
{
    kLog.info("open url: " + loggableUrl(text));
    const Date now = m_engine.clock().now();
    const UrlRoute target = route(text, now);
    switch (target.target) {
    case UrlRoute::Target::nothing:
        return;
    case UrlRoute::Target::planEditor:
        m_engine.morningGate().openEditor();
        return;
    case UrlRoute::Target::dashboard:
        break;
    }
    if (target.daySelection == UrlRoute::Day::today) {
        m_navigation.setSelectedDay(std::nullopt);
    } else if (target.daySelection == UrlRoute::Day::selected) {
        m_navigation.open(target.day, now);
    }
    if (target.showShare) {
        m_navigation.setShowShare(true);
    }
    m_dashboard.show(target.section);
}

void ShellController::reopen()
{
    m_dashboard.show();
}

void ShellController::handleArguments(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) {
        reopen();
        return;
    }
    for (const std::string& argument : arguments) {
        openUrl(argument);
    }
}

} // namespace kestrove
