#pragma once

#include "Platform/IdleTimeSource.h"

#include <QDBusConnection>

namespace kestrove {

// Input idle time from the session's idle monitor on D-Bus, for sessions where the X server
// cannot tell: the screen saver service's GetSessionIdleTime, else the compositor's idle monitor.
class QtDBusIdle final : public IdleTimeSource
{
public:
    explicit QtDBusIdle(QDBusConnection sessionBus = QDBusConnection::sessionBus());
    std::optional<double> idleSeconds() override;

private:
    QDBusConnection m_bus;
};

} // namespace kestrove
