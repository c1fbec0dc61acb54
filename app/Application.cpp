#include "Application.h"

#include "Platform/Linux/LinuxX11Connection.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
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
      m_notifications(m_clock),
      m_engine({m_clock, m_mainQueue, m_scheduler, m_preferences, m_workspace, m_tracker,
                m_allowlistPresets, m_lockdown, m_overlay, m_lockInDisplay, m_morningGate,
                m_notifications, m_focusBridge, m_focusMonitor, m_desktop},
               Database::defaultPath())
{
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

// The second phase of construction: what calls back into the engine is connected once both
// sides exist.
void Application::connect()
{
    m_notifications.setHandlers({
        [this](const std::string& id) { m_engine.answerTimeUpDone(id); },
        [this](const std::string& id) { m_engine.answerTimeUpExtend(id, 15); },
        [] {},
        [] {},
    });
}

void Application::launch()
{
    m_notifications.install();
    m_engine.start();
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
