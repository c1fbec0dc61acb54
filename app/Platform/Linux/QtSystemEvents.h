#pragma once

#include "Platform/SystemEvents.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QVariantMap>

namespace kestrove {

// System events over D-Bus: the login manager's PrepareForSleep (with a delay inhibitor, so the
// open segment is closed before the machine sleeps), its session's Lock, Unlock and Active, and
// the screen savers' ActiveChanged. The login manager lives on the system bus; tests hand in a
// private bus where a stand-in owns its name.
class QtSystemEvents final : public QObject, public SystemEvents
{
    Q_OBJECT

public:
    explicit QtSystemEvents(QDBusConnection systemBus = QDBusConnection::systemBus(),
                            QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);

    bool isAsleep() const override { return m_asleep; }
    bool isScreenLocked() const override { return m_locked; }
    bool isSessionActive() const override { return m_sessionActive; }

    bool holdsSleepDelay() const { return m_sleepDelay.isValid(); }
    // The session's object path once the login manager named it.
    const QString& sessionPath() const { return m_sessionPath; }

private slots:
    void onPrepareForSleep(bool start);
    void onSessionLock();
    void onSessionUnlock();
    void onScreenSaverActiveChanged(bool active);
    void onSessionPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                    const QStringList& invalidated);

private:
    void takeSleepDelay();
    void releaseSleepDelay(quint64 generation);
    void findSession();
    void watchSession(const QString& path);
    void setLocked(bool locked);
    void setSessionActive(bool active);

    QDBusConnection m_system;
    QDBusConnection m_session;
    bool m_asleep = false;
    bool m_locked = false;
    quint64 m_lockChanges = 0;
    bool m_sessionActive = true;
    QString m_sessionPath;
    QDBusUnixFileDescriptor m_sleepDelay;
    // Counts sleeps, so that a late "ready" from an earlier sleep releases nothing.
    quint64 m_sleepGeneration = 0;
};

} // namespace kestrove
