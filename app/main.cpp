// The program entry: wires the real platform layer to the session engine, drives it until
// SIGINT or SIGTERM, and stops it the way Quit will (open segment closed, writes landed,
// database closed).
#include "Collectors/AppTracker.h"
#include "Collectors/BrowserTracker.h"
#include "Collectors/SystemIdle.h"
#include "Engine/AppAllowlistPresets.h"
#include "Engine/FocusBridge.h"
#include "Engine/LockInDisplay.h"
#include "Engine/LockdownEnforcer.h"
#include "Engine/MorningGateController.h"
#include "Engine/SessionEngine.h"
#include "Engine/Tracker.h"
#include "Intents/FocusStateMonitor.h"
#include "Platform/Clock.h"
#include "Platform/LinuxBrowserScripting.h"
#include "Platform/LinuxDesktopServices.h"
#include "Platform/LinuxScreenSaverIdle.h"
#include "Platform/LinuxWorkspace.h"
#include "Platform/Log.h"
#include "Platform/Preferences.h"
#include "Platform/QtDBusIdle.h"
#include "Platform/QtFocusStateSignal.h"
#include "Platform/QtMainQueue.h"
#include "Platform/QtNotificationPresenter.h"
#include "Platform/QtScheduler.h"
#include "Platform/QtSystemEvents.h"
#include "core/ContextClassifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace kestrove;

namespace {

// The lockdown, its overlay, the floating display and the morning gate come with the tray
// and its windows. Until then focus tasks run unenforced and the gate never rises.
class NoLockdown final : public LockdownEnforcer
{
public:
    bool isEngaged() const override { return false; }
    void engage(const std::vector<std::string>&, const LockdownMode&) override
    {
        Log("lockdown").info("no lockdown in this build: the task runs unenforced");
    }
    void disengage() override {}
    bool isAllowed(const std::optional<std::string>&) const override { return true; }
    void addToAllowlist(const std::string&) override {}
    void setOnBlock(BlockHandler) override {}
};

class NoOverlay final : public LockdownOverlayController
{
public:
    void hide() override {}
    void showTimeUp(const std::string&, std::function<void()>,
                    std::function<void(long long)>) override
    {}
};

class NoLockInDisplay final : public LockInDisplay
{
public:
    bool isEnabled() const override { return false; }
    bool isSetUp() const override { return false; }
    void setUp() override {}
    bool hasPanel() const override { return false; }
    bool isPanelVisible() const override { return false; }
    void snapToScreenIfNeeded() override {}
    void orderFront() override {}
    void orderOut() override {}
};

class NoMorningGate final : public MorningGateController
{
public:
    void start(DayPlanStore&) override {}
    void evaluate() override {}
};

int signalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop reads the byte.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

bool hasXDisplay()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!hasXDisplay()) {
        std::fprintf(stderr, "kestrove: no X display to watch (is DISPLAY set?); Kestrove "
                             "needs an X11 desktop session.\n");
        return 1;
    }
    // No window yet: the engine needs only an event loop, not a connection of Qt's to the display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Kestrove");
    const Log log("app");

    SystemClock clock;
    QtMainQueue mainQueue(&app);
    QtScheduler scheduler;
    FilePreferences preferences(FilePreferences::defaultPath(), mainQueue);

    LinuxWorkspace workspace;
    AppTracker appTracker(workspace, scheduler);
    LinuxBrowserScripting scripting(clock);
    BrowserTracker browser(scripting, clock, mainQueue);
    LinuxScreenSaverIdle inputIdle;
    QtDBusIdle sessionIdle(QDBusConnection::sessionBus());
    SystemIdle idle(inputIdle, sessionIdle);
    QtSystemEvents systemEvents(QDBusConnection::systemBus(), QDBusConnection::sessionBus());
    Tracker tracker({appTracker, browser, idle, systemEvents, workspace}, clock);

    AppAllowlistPresets allowlistPresets(preferences);
    QtNotificationPresenter notifications(clock, QDBusConnection::sessionBus());
    CommandFocusBridge focusBridge(preferences);
    QtFocusStateSignal focusSignal(QDBusConnection::sessionBus());
    FocusStateMonitor focusMonitor(focusSignal, clock);
    LinuxDesktopServices desktop(workspace);
    NoLockdown lockdown;
    NoOverlay overlay;
    NoLockInDisplay lockInDisplay;
    NoMorningGate morningGate;

    SessionEngine engine({clock, mainQueue, scheduler, preferences, workspace, tracker,
                          allowlistPresets, lockdown, overlay, lockInDisplay, morningGate,
                          notifications, focusBridge, focusMonitor, desktop},
                         Database::defaultPath());

    notifications.setHandlers({
        [&engine](const std::string& id) { engine.answerTimeUpDone(id); },
        [&engine](const std::string& id) { engine.answerTimeUpExtend(id, 15); },
        [] {},
        [] {},
    });
    notifications.install();

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        log.error("cannot watch for stop signals");
        return 1;
    }
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    bool stopping = false;
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        if (stopping) {
            return;
        }
        stopping = true;
        log.info("stopping");
        engine.stop([&] {
            preferences.flush();
            QCoreApplication::quit();
        });
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    engine.start();
    const int status = QCoreApplication::exec();
    focusBridge.waitUntilIdle();
    return status;
}
