#include "Platform/Linux/QtAccessibilitySwitch.h"

#include "Platform/Linux/QtDBusReply.h"
#include "Platform/Log.h"

#include <QDBusError>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace kestrove {

namespace {

const Log kLog("app");

QDBusMessage propertyCall(const char* method)
{
    auto call = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QString::fromLatin1(method));
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled");
    return call;
}

bool isAbsent(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown ||
           error.name() == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner");
}

} // namespace

QtAccessibilitySwitch::QtAccessibilitySwitch(QDBusConnection bus) : m_bus(std::move(bus)) {}

void QtAccessibilitySwitch::readState(StateHandler done)
{
    if (!m_bus.isConnected()) {
        done(AccessibilityState::noSessionBus);
        return;
    }
    QDBusMessage call = propertyCall("Get");
    call.setAutoStartService(false);
    whenAnswered<QDBusPendingReply<QDBusVariant>>(
        m_bus, call, &m_context,
        [done = std::move(done)](const QDBusPendingReply<QDBusVariant>& reply) {
            if (reply.isError()) {
                done(isAbsent(reply.error()) ? AccessibilityState::notRunning
                                             : AccessibilityState::noAnswer);
                return;
            }
            done(reply.value().variant().toBool() ? AccessibilityState::on
                                                  : AccessibilityState::off);
        });
}

void QtAccessibilitySwitch::turnOn(Done done)
{
    if (!m_bus.isConnected()) {
        done(false);
        return;
    }
    QDBusMessage call = propertyCall("Set");
    call << QVariant::fromValue(QDBusVariant(true));
    whenAnswered<QDBusPendingReply<>>(m_bus, call, &m_context,
                                      [done = std::move(done)](const QDBusPendingReply<>& reply) {
                                          if (reply.isError()) {
                                              kLog.error("cannot turn accessibility on: " +
                                                         reply.error().message().toStdString());
                                          }
                                          done(!reply.isError());
                                      });
}

} // namespace kestrove
