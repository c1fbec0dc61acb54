#pragma once

#include "Collectors/AppTracker.h"
#include "Collectors/BrowserTracker.h"
#include "Collectors/SystemIdle.h"
#include "Engine/AppAllowlistPresets.h"
#include "Engine/FocusBridge.h"
#include "Engine/SessionEngine.h"
#include "Engine/Tracker.h"
#include "Engine/WorkspaceLockdownEnforcer.h"
#include "Intents/FocusStateMonitor.h"
#include "Platform/Clock.h"
#include "Platform/InstalledApps.h"
#include "Platform/Linux/InstanceChannel.h"
#include "Platform/Linux/LinuxBrowserScripting.h"
#include "Platform/Linux/LinuxCommandRunner.h"
#include "Platform/Linux/LinuxDesktopServices.h"
#include "Platform/Linux/LinuxHider.h"
#include "Platform/Linux/LinuxScreenSaverIdle.h"
#include "Platform/Linux/LinuxWorkspace.h"
#include "Platform/Linux/QtAccessibilitySwitch.h"
#include "Platform/Linux/QtClipboard.h"
#include "Platform/Linux/QtDBusIdle.h"
#include "Platform/Linux/QtFocusStateSignal.h"
#include "Platform/Linux/QtFolderRevealer.h"
#include "Platform/Linux/QtMainQueue.h"
#include "Platform/Linux/QtNotificationPresenter.h"
#include "Platform/Linux/QtScheduler.h"
#include "Platform/Linux/QtSystemEvents.h"
#include "Platform/Linux/XdgAutostart.h"
#include "Platform/Linux/XTestKeySender.h"
#include "Platform/Log.h"
#include "Platform/Preferences.h"
#include "ViewLogic/Lockdown/LockdownOverlay.h"
#include "ViewLogic/Rituals/GateController.h"
#include "ViewLogic/Share/ComposerPaste.h"
#include "ViewLogic/Share/ShareCardBuilder.h"
#include "Views/FlowHUDController.h"
#include "Views/Lockdown/LockdownOverlayWindows.h"
#include "Views/MenuBarView.h"
#include "Views/OnboardingController.h"
#include "Views/Rituals/GateWindows.h"
#include "Views/Rituals/RitualParts.h"
#include "Views/Rituals/ShutdownView.h"
#include "Views/Shell/ShellController.h"

#include <QObject>

namespace kestrove {

// The composition root: builds the platform layer, the sampler, the services, the engine and
// the windows in launch order, wires what calls back into the engine once everything exists,
// and stops the engine before the program ends. Lives on the main thread for the whole run,
// on a QApplication that does not quit when its last window closes.
class Application
{
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Whether an X display can be reached; checked before Qt opens its own connection.
    static bool hasDisplay();
    // Keeps Qt and the libraries from starting a session bus of their own when the user has
    // none; called before Qt starts.
    static void useOnlyTheUsersSessionBus();

    // Says where things are kept and what can be watched, installs the notification presenter
    // and starts the engine.
    void launch();
    // Stops the engine (open segment closed, writes landed, database closed), saves the
    // preferences and ends the event loop. A second call does nothing.
    void quit();
    // Runs the event loop until quit(); SIGINT and SIGTERM quit too.
    int exec();

    SessionEngine& engine() { return m_engine; }
    ShellController& shell() { return m_shell; }
    LockdownOverlayWindows& overlayWindows() { return m_overlayWindows; }
    LinuxHider& hider() { return m_hider; }
    InstalledApps& installedApps() { return m_installedApps; }
    GateController& morningGate() { return m_morningGate; }
    MorningWallWindows& wall() { return m_wall; }
    PlanEditorWindow& planEditor() { return m_planEditor; }

    // The popover's "Shutdown ritual…": opens the shutdown window or fronts the open one.
    void openShutdown();
    // The popover's plan strip and the today page's plan card, each a new widget.
    QWidget* planStrip();
    QWidget* planCard();
    // The application picker of the block rows; until it is set, "Pick apps" opens nothing.
    void setAppPicker(AppPicker picker) { m_appPicker = std::move(picker); }
    FlowHUDController& lockInDisplay() { return m_lockInDisplay; }
    OnboardingController& onboarding() { return m_onboarding; }

    // The share sheet of a day or a week over the page `over` (the today and week pages).
    void presentShareSheet(QWidget* over, const SharePeriod& period);
    // Answers a command-line request (status, deep-work, export-card) from the live engine.
    void answerRequest(const std::vector<std::string>& request, InstanceChannel::Reply reply);

private:
    void connect();
    QWidget* popoverContent();
    QWidget* page(DashboardSection section);
    QWidget* planningForm(const GateForm& form);
    void reportStartup();
    void watchStopSignals();

    QObject m_context;
    Log m_log{"app"};
    SystemClock m_clock;
    QtMainQueue m_mainQueue{&m_context};
    QtScheduler m_scheduler;
    FilePreferences m_preferences;

    LinuxWorkspace m_workspace;
    AppTracker m_appTracker{m_workspace, m_scheduler};
    LinuxBrowserScripting m_scripting{m_clock};
    BrowserTracker m_browser{m_scripting, m_clock, m_mainQueue};
    LinuxScreenSaverIdle m_inputIdle;
    QtDBusIdle m_sessionIdle;
    SystemIdle m_idle{m_inputIdle, m_sessionIdle};
    QtSystemEvents m_systemEvents;
    Tracker m_tracker;

    AppAllowlistPresets m_allowlistPresets{m_preferences};
    QtNotificationPresenter m_notifications;
    LinuxCommandRunner m_commandRunner;
    CommandFocusBridge m_focusBridge{m_preferences, m_commandRunner};
    QtFocusStateSignal m_focusSignal;
    FocusStateMonitor m_focusMonitor{m_focusSignal, m_clock};
    LinuxDesktopServices m_desktop{m_workspace};
    InstalledApps m_installedApps;
    // What the settings page changes on the desktop.
    XdgAutostart m_loginItem{XdgAutostart::defaultFolder(), XdgAutostart::currentProgram()};
    QtAccessibilitySwitch m_accessibility;
    QtFolderRevealer m_revealer;

    LockdownOverlay m_overlay{m_scheduler, m_clock};
    LockdownOverlayWindows m_overlayWindows;
    LinuxHider m_hider;
    WorkspaceLockdownEnforcer m_lockdown{m_workspace, m_scheduler, m_clock, m_hider, m_overlay};
    FlowHUDController m_lockInDisplay;
    AppPicker m_appPicker;
    PlanEditorWindow m_planEditor{[this](const GateForm& form) { return planningForm(form); }};
    MorningWallWindows m_wall{[this](const GateForm& form) { return planningForm(form); },
                              m_scheduler, m_mainQueue};
    GateController m_morningGate{
        {m_clock, m_scheduler, m_mainQueue, m_systemEvents,
         [this] { return m_engine.focusTaskManager().active().has_value(); }, m_lockdown, m_wall,
         m_planEditor}};

    SessionEngine m_engine;
    ShellController m_shell;
    OnboardingController m_onboarding;
    ShutdownWindowController m_shutdown{m_engine};
    QtClipboard m_clipboard;
    XTestKeySender m_keys;
    ComposerPaste m_composerPaste{
        {m_clipboard, m_workspace, m_scripting, m_keys, m_scheduler, m_clock, m_mainQueue}};
    ShareCardBuilder m_requestCards{m_engine};
    bool m_quitting = false;
};

} // namespace kestrove
