#include "Application.h"

#include "Intents/CommandLine.h"
#include "Intents/FocusIntents.h"
#include "Platform/Linux/LinuxInstalledApps.h"
#include "Platform/Linux/LinuxSessionBus.h"
#include "Platform/Linux/LinuxWindowHints.h"
#include "Platform/Linux/LinuxX11Connection.h"
#include "Platform/StartupSummary.h"
#include "Subcommands.h"
#include "ViewLogic/Shell/OnboardingModel.h"
#include "Views/Dashboard/ProjectsView.h"
#include "Views/Dashboard/TodayView.h"
#include "Views/Dashboard/WeekView.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusTaskCard.h"
#include "Views/Focus/LockInView.h"
#include "Views/Rituals/MorningGateView.h"
#include "Views/Rituals/PlanViews.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Share/ShareSheet.h"
#include "Views/Theme.h"

#include "core/Calendar.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrove {

namespace {

int stopSignalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop reads the byte.
    [[maybe_unused]] const auto written = ::write(stopSignalPipe[1], &byte, 1);
}

} // namespace

Application::Application()
    : m_preferences(FilePreferences::defaultPath(), m_mainQueue),
      m_tracker({m_appTracker, m_browser, m_idle, m_systemEvents, m_workspace}, m_clock),
      m_notifications(m_clock), m_installedApps(LinuxInstalledApps::userScan(), m_mainQueue),
      m_overlayWindows([this] {
          return SessionStats::capture(m_engine.focusTaskManager().active(), m_clock.now());
      }),
      m_hider(m_mainQueue, {{}, [this] { return m_workspace.identityResolver(); }}),
      m_lockInDisplay(m_preferences, {LinuxWindowHints::showOnEveryDesktop}),
      m_engine({m_clock, m_mainQueue, m_scheduler, m_preferences, m_workspace, m_tracker,
                m_allowlistPresets, m_lockdown, m_overlay, m_lockInDisplay, m_morningGate,
                m_notifications, m_focusBridge, m_focusMonitor, m_desktop},
               Database::defaultPath()),
      m_shell(m_engine, m_preferences,
              {[this] { return popoverContent(); },
               [this](DashboardSection section) { return page(section); }}),
      m_onboarding(m_engine, [this] { m_shell.dashboard().show(DashboardSection::today); })
{
    applyTheme(*qApp);
    connect();
}

Application::~Application()
{
    // Commands already asked of the phone-Focus bridge still run, each within its time-out.
    m_focusBridge.waitUntilIdle();
}

bool Application::hasDisplay()
{
    return LinuxX11Connection::isDisplayReachable();
}

void Application::useOnlyTheUsersSessionBus()
{
    LinuxSessionBus::preventAutolaunch();
}

// The second phase of construction: what calls back into the engine is connected once both
// sides exist.
void Application::connect()
{
    m_lockInDisplay.attach(m_engine);
    // The one application picker, for every list that chooses applications.
    m_appPicker = [this](QWidget* anchor, const QString& title, const AppSelection& selection,
                         std::function<void(const AppSelection&)> onDone) {
        AppPickerView* picker = AppPickerView::popUp(m_installedApps, selection, anchor);
        picker->window()->setWindowTitle(title);
        picker->onDone = [picker, onDone = std::move(onDone)] {
            const AppSelection chosen = picker->selection();
            picker->window()->close();
            if (onDone) {
                onDone(chosen);
            }
        };
    };
    m_overlay.setScreens(&m_overlayWindows);
    m_lockdown.setHooks({
        [this] { return m_engine.awaitingTimeUp(); },
        [this](const std::string& bundleID) { m_engine.allowAppDuringLockIn(bundleID); },
        // On a later turn: ending the task takes the overlay down, which is still answering.
        [this] {
            m_mainQueue.post([this] { m_engine.endFocusTask(FocusTask::EndReason::brokeOut); });
        },
        [this] { m_wall.reassert(); },
    });
    m_notifications.setHandlers({
        [this](const std::string& id) { m_engine.answerTimeUpDone(id); },
        [this](const std::string& id) { m_engine.answerTimeUpExtend(id, 15); },
        [this] {
            m_shell.navigation().setShowShare(true);
            m_shell.dashboard().show(DashboardSection::today);
        },
        [this] { m_shell.dashboard().show(DashboardSection::today); },
    });
}

QWidget* Application::planningForm(const GateForm& form)
{
    MorningGateView::Context context;
    context.shutdownNote = [this] { return m_engine.planForToday(); };
    context.lastUsedApps = m_allowlistPresets.lastUsed();
    context.pickApps = m_appPicker;
    return new MorningGateView(form, std::move(context));
}

void Application::openShutdown()
{
    m_shutdown.show();
}

QWidget* Application::planStrip()
{
    return new PlanStrip(m_engine, [this] { m_shell.dashboard().show(DashboardSection::today); });
}

QWidget* Application::planCard()
{
    return new PlanCard(
        m_engine, {m_appPicker, [this] { m_shell.dashboard().show(DashboardSection::today); }});
}

QWidget* Application::popoverContent()
{
    MenuBarView::Actions actions;
    actions.openDashboard = [this](DashboardSection section) { m_shell.dashboard().show(section); };
    actions.share = [this] {
        m_shell.navigation().setShowShare(true);
        m_shell.dashboard().show(DashboardSection::today);
    };
    actions.shutdownRitual = [this] { openShutdown(); };
    actions.planStrip = [this] { return planStrip(); };
    actions.quit = [this] { quit(); };
    return new MenuBarView(m_engine, std::move(actions));
}

// Each dashboard page as it is built anew on a change of section; a page not built yet shows
// as such.
QWidget* Application::page(DashboardSection section)
{
    switch (section) {
    case DashboardSection::today:
        return new TodayView(
            m_engine, m_shell.navigation(),
            TodayView::Hooks{[this] { return new FocusTaskCard(m_engine, m_installedApps); },
                             [this] { return planCard(); },
                             [this](QWidget* over, const SharePeriod& period) {
                                 presentShareSheet(over, period);
                             }});
    case DashboardSection::week:
        return new WeekView(m_engine, m_shell.navigation(),
                            [this](QWidget* over, Date start, Date end) {
                                presentShareSheet(over, SharePeriod::week(start, end));
                            });
    case DashboardSection::projects:
        return new ProjectsView(m_engine, m_appPicker);
    case DashboardSection::lockIn:
        return new LockInView(m_engine, m_installedApps);
    case DashboardSection::settings:
        return new SettingsPane(
            m_engine, {m_installedApps, m_loginItem, m_accessibility, m_revealer, m_appPicker});
    }
    return nullptr;
}

void Application::presentShareSheet(QWidget* over, const SharePeriod& period)
{
    ShareSheet::Services services{
        m_engine,
        m_clipboard,
        [this](std::int64_t changeCount) { m_composerPaste.attachClipboardImage(changeCount); },
        &ShareSheet::openInBrowser,
        &ShareSheet::askForFile,
    };
    ShareSheet::present(std::move(services), period, over);
}

void Application::answerRequest(const std::vector<std::string>& request,
                                InstanceChannel::Reply reply)
{
    const auto parsed = CommandLine::parse(request);
    if (const auto* error = std::get_if<CommandLine::UsageError>(&parsed)) {
        reply(Subcommands::refusal(error->message));
        return;
    }
    const CommandLine::Command command = std::get<CommandLine::Command>(parsed);
    switch (command.kind) {
    case CommandLine::Kind::status:
        reply(Subcommands::statusAnswer(FocusIntents::liveFacts(m_engine)));
        return;
    case CommandLine::Kind::deepWork:
        reply(Subcommands::deepWorkAnswer(FocusIntents::isInDeepWork(m_engine.sessionPhase())));
        return;
    case CommandLine::Kind::exportCard: {
        const Date now = m_clock.now();
        const SharePeriod period = command.week ? SharePeriod::weekOf(now, Calendar::firstWeekday())
                                                : SharePeriod::day(now);
        m_requestCards.build(
            period, m_preferences.string(ShareSheetTexts::kHandleKey),
            [reply](const ShareCard& card) { reply(Subcommands::cardAnswer(card)); });
        return;
    }
    case CommandLine::Kind::help:
        break;
    }
    reply({CommandLine::kSuccess, CommandLine::helpText(), {}, {}});
}

void Application::launch()
{
    reportStartup();
    m_notifications.install();
    // The tray works while the engine starts; its first titles show the state before start.
    m_shell.launch();
    m_engine.start([this] {
        // Until onboarding is complete it comes first, and a restored task waits for the next
        // launch to show its display.
        if (!m_preferences.boolValue(OnboardingModel::kCompleteKey).value_or(false)) {
            m_onboarding.show();
        } else if (m_engine.focusTaskManager().active()) {
            m_engine.showLockInDisplay();
        }
    });
}

void Application::reportStartup()
{
    StartupFacts facts;
    facts.databasePath = Database::defaultPath();
    facts.preferencesPath = m_preferences.path().string();
    const char* display = std::getenv("DISPLAY");
    facts.displayName = display ? display : "";
    facts.windows = !m_workspace.isConnected() ? WindowAccess::noDisplay
                    : m_workspace.isTrusted()  ? WindowAccess::readable
                                               : WindowAccess::noWindowManager;
    facts.sessionBus = LinuxSessionBus::state();
    facts.accessibility = LinuxSessionBus::accessibility();
    for (const std::string& line : startupLines(facts)) {
        m_log.info(line);
    }
}

void Application::quit()
{
    if (m_quitting) {
        return;
    }
    m_quitting = true;
    m_log.info("stopping");
    m_engine.stop([this] {
        m_preferences.flush();
        QCoreApplication::quit();
    });
}

int Application::exec()
{
    watchStopSignals();
    return QCoreApplication::exec();
}

void Application::watchStopSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, stopSignalPipe) != 0) {
        m_log.error("cannot watch for stop signals");
        return;
    }
    auto* notifier = new QSocketNotifier(stopSignalPipe[0], QSocketNotifier::Read, &m_context);
    QObject::connect(notifier, &QSocketNotifier::activated, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(stopSignalPipe[0], &byte, 1);
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace kestrove
