#pragma once

#include "Platform/AccessibilitySwitch.h"

#include <QDBusConnection>
#include <QObject>

namespace kestrove {

// The accessibility switch on the session bus: the property IsEnabled of org.a11y.Status on
// the accessibility bus's launcher (org.a11y.Bus, /org/a11y/bus).
class QtAccessibilitySwitch final : public AccessibilitySwitch
{
public:
    explicit QtAccessibilitySwitch(QDBusConnection bus = QDBusConnection::sessionBus());

    // Reading never starts the accessibility bus.
    void readState(StateHandler done) override;
    // Turning on may start it where the desktop installs it as an activatable service.
    void turnOn(Done done) override;

private:
    QDBusConnection m_bus;
    QObject m_context;
};

} // namespace kestrove
