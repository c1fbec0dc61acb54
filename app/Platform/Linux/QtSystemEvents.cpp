#include "Platform/Linux/QtSystemEvents.h"

#include "Platform/Linux/QtDBusReply.h"
#include "Platform/Log.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QPointer>

#include <cstdlib>

namespace kestrove {

namespace {

const Log log("tracker");

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

QtSystemEvents::QtSystemEvents(QDBusConnection systemBus, QDBusConnection sessionBus,
                               QObject* parent)
    : QObject(parent), m_system(std::move(systemBus)), m_session(std::move(sessionBus))
{
    m_system.connect(kLogin1, kManagerPath, kManager, QStringLiteral("PrepareForSleep"), this,
                     SLOT(onPrepareForSleep(bool)));
    for (const auto& name :
         {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("org.gnome.ScreenSaver")}) {
        m_session.connect(name, QString(), name, QStringLiteral("ActiveChanged"), this,
                          SLOT(onScreenSaverActiveChanged(bool)));
    }
    takeSleepDelay();
    findSession();
}

void QtSystemEvents::takeSleepDelay()
{
    auto call =
        QDBusMessage::createMethodCall(kLogin1, kManagerPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kestrove")
         << QStringLiteral("Closing the open activity segment") << QStringLiteral("delay");
    const quint64 generation = m_sleepGeneration;
    whenAnswered<QDBusPendingReply<QDBusUnixFileDescriptor>>(
        m_system, call, this, [this, generation](const auto& reply) {
            if (reply.isError()) {
                log.error("no sleep delay from the login manager: " +
                          reply.error().message().toStdString());
                return;
            }
            // A sleep that began meanwhile does not wait for this late lock.
            if (generation == m_sleepGeneration && !m_asleep) {
                m_sleepDelay = reply.value();
            }
        });
}

void QtSystemEvents::releaseSleepDelay(quint64 generation)
{
    if (generation == m_sleepGeneration) {
        m_sleepDelay = QDBusUnixFileDescriptor();
    }
}

void QtSystemEvents::onPrepareForSleep(bool start)
{
    if (start == m_asleep) {
        return;
    }
    m_asleep = start;
    if (start) {
        const quint64 generation = ++m_sleepGeneration;
        announceSleep([self = QPointer(this), generation] {
            if (self) {
                self->releaseSleepDelay(generation);
            }
        });
        return;
    }
    ++m_sleepGeneration;
    m_sleepDelay = QDBusUnixFileDescriptor();
    takeSleepDelay();
    announceWake();
}

void QtSystemEvents::findSession()
{
    const char* id = std::getenv("XDG_SESSION_ID");
    auto call = QDBusMessage::createMethodCall(kLogin1, kManagerPath, kManager,
                                               QStringLiteral("GetSession"));
    call << QString::fromUtf8(id && *id ? id : "auto");
    whenAnswered<QDBusPendingReply<QDBusObjectPath>>(
        m_system, call, this, [this](const auto& reply) {
            if (reply.isError()) {
                log.error("no login session to watch for lock and unlock: " +
                          reply.error().message().toStdString());
                return;
            }
            watchSession(reply.value().path());
        });
}

void QtSystemEvents::watchSession(const QString& path)
{
    m_sessionPath = path;
    m_system.connect(kLogin1, path, kSession, QStringLiteral("Lock"), this, SLOT(onSessionLock()));
    m_system.connect(kLogin1, path, kSession, QStringLiteral("Unlock"), this,
                     SLOT(onSessionUnlock()));
    m_system.connect(kLogin1, path, kProperties, QStringLiteral("PropertiesChanged"), this,
                     SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)));

    auto call = QDBusMessage::createMethodCall(kLogin1, path, kProperties, QStringLiteral("Get"));
    call << kSession << QStringLiteral("Active");
    whenAnswered<QDBusPendingReply<QDBusVariant>>(m_system, call, this, [this](const auto& reply) {
        // The state as found at start is no change to report.
        if (!reply.isError()) {
            m_sessionActive = reply.value().variant().toBool();
        }
    });

    // A screen locked before we listened sent its Lock signal to nobody: ask once. An answer
    // that arrives after a lock signal is older news and is dropped.
    auto locked = QDBusMessage::createMethodCall(kLogin1, path, kProperties, QStringLiteral("Get"));
    locked << kSession << QStringLiteral("LockedHint");
    const quint64 changes = m_lockChanges;
    whenAnswered<QDBusPendingReply<QDBusVariant>>(
        m_system, locked, this, [this, changes](const auto& reply) {
            if (!reply.isError() && changes == m_lockChanges && reply.value().variant().toBool()) {
                setLocked(true);
            }
        });
}

void QtSystemEvents::onSessionLock()
{
    setLocked(true);
}

void QtSystemEvents::onSessionUnlock()
{
    setLocked(false);
}

void QtSystemEvents::onScreenSaverActiveChanged(bool active)
{
    setLocked(active);
}

void QtSystemEvents::onSessionPropertiesChanged(const QString& interface,
                                                const QVariantMap& changed, const QStringList&)
{
    if (interface == kSession && changed.contains(QStringLiteral("Active"))) {
        setSessionActive(changed.value(QStringLiteral("Active")).toBool());
    }
}

void QtSystemEvents::setLocked(bool locked)
{
    if (locked == m_locked) {
        return;
    }
    m_locked = locked;
    ++m_lockChanges;
    announceLock(locked);
}

void QtSystemEvents::setSessionActive(bool active)
{
    if (active == m_sessionActive) {
        return;
    }
    m_sessionActive = active;
    announceSessionActive(active);
}

} // namespace kestrove
