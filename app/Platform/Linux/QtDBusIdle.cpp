#include "Platform/Linux/QtDBusIdle.h"

#include <QDBusMessage>

namespace kestrove {

namespace {

// The sampler asks once a second; an idle monitor that does not answer quickly is no use.
constexpr int kTimeoutMilliseconds = 500;

struct IdleMonitor
{
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
};

// Both answer in milliseconds.
constexpr IdleMonitor kMonitors[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
     "GetSessionIdleTime"},
    {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
     "org.gnome.Mutter.IdleMonitor", "GetIdletime"},
};

} // namespace

QtDBusIdle::QtDBusIdle(QDBusConnection sessionBus) : m_bus(std::move(sessionBus)) {}

std::optional<double> QtDBusIdle::idleSeconds()
{
    if (!m_bus.isConnected()) {
        return std::nullopt;
    }
    for (const auto& monitor : kMonitors) {
        const auto call = QDBusMessage::createMethodCall(monitor.service, monitor.path,
                                                         monitor.interface, monitor.method);
        const QDBusMessage reply = m_bus.call(call, QDBus::Block, kTimeoutMilliseconds);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            continue;
        }
        bool ok = false;
        const qulonglong milliseconds = reply.arguments().constFirst().toULongLong(&ok);
        if (ok) {
            return static_cast<double>(milliseconds) / 1000.0;
        }
    }
    return std::nullopt;
}

} // namespace kestrove
