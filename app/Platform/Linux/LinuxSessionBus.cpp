#include "Platform/Linux/LinuxSessionBus.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace kestrove {

namespace {

// Asked once at start-up, on the main thread: long enough for a busy bus, short enough not to
// hold the start visibly.
constexpr int kAccessibilityTimeoutMilliseconds = 1000;

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

} // namespace

bool LinuxSessionBus::isAdvertised()
{
    if (isSet("DBUS_SESSION_BUS_ADDRESS")) {
        return std::strcmp(std::getenv("DBUS_SESSION_BUS_ADDRESS"), kDisabledAddress) != 0;
    }
    if (!isSet("XDG_RUNTIME_DIR")) {
        return false;
    }
    const std::string socket = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/bus";
    struct stat info = {};
    return ::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

void LinuxSessionBus::preventAutolaunch()
{
    if (!isAdvertised()) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", kDisabledAddress, 1);
    }
}

SessionBusState LinuxSessionBus::state(const QDBusConnection& bus)
{
    if (!isAdvertised()) {
        return SessionBusState::missing;
    }
    return bus.isConnected() ? SessionBusState::connected : SessionBusState::unreachable;
}

AccessibilityState LinuxSessionBus::accessibility(const QDBusConnection& bus)
{
    if (!bus.isConnected()) {
        return AccessibilityState::noSessionBus;
    }
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled");
    // Only a reader: the desktop decides whether the accessibility bus runs.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAccessibilityTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QString error = reply.errorName();
        const bool absent = error == QDBusError::errorString(QDBusError::ServiceUnknown) ||
                            error == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");
        return absent ? AccessibilityState::notRunning : AccessibilityState::noAnswer;
    }
    const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
    return value.toBool() ? AccessibilityState::on : AccessibilityState::off;
}

} // namespace kestrove
