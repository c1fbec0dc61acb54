#include "Platform/Linux/QtNotificationPresenter.h"

#include <QDBusMessage>
#include <QDBusPendingReply>

#include "Platform/Linux/QtDBusReply.h"
#include "Platform/Log.h"

namespace kestrove {

namespace {

const Log kLog("notif");
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// Button identifiers and titles, in pairs, as the server expects them. A click on the
// notification itself is the "default" action; it is offered only where it does something.
QStringList actionList(const std::string& category)
{
    QStringList actions;
    for (const auto& candidate : NotificationPresenter::categories()) {
        if (candidate.identifier != category) {
            continue;
        }
        for (const auto& action : candidate.actions) {
            actions << QString::fromStdString(action.identifier)
                    << QString::fromStdString(action.title);
        }
        if (category != "timeUp" && !candidate.actions.empty()) {
            actions << QString::fromUtf8(NotificationPresenter::kDefaultAction.data(),
                                         NotificationPresenter::kDefaultAction.size())
                    << QString::fromStdString(candidate.actions.front().title);
        }
    }
    return actions;
}

QVariantMap hints(const NotificationRequest& request)
{
    const bool passive =
        request.interruptionLevel == NotificationRequest::InterruptionLevel::passive;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(passive ? 0 : 1));
    // The sound theme's name for the desktop's usual notification sound.
    if (request.playsSound) {
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    } else {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    return hints;
}

} // namespace

QtNotificationPresenter::QtNotificationPresenter(const Clock& clock, QDBusConnection connection,
                                                 QObject* parent)
    : QObject(parent), NotificationPresenter(clock), m_connection(std::move(connection))
{}

void QtNotificationPresenter::install()
{
    if (!m_connection.isConnected()) {
        return;
    }
    m_connection.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                         SLOT(actionInvoked(uint, QString)));
    m_connection.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                         SLOT(notificationClosed(uint, uint)));
    queryCapabilities();
}

void QtNotificationPresenter::requestAuthorization(std::function<void()> done)
{
    // A call on a connection that is not connected is never answered.
    if (m_capabilities == Capabilities::known || !m_connection.isConnected()) {
        done();
        return;
    }
    m_waitingForCapabilities.push_back(std::move(done));
    queryCapabilities();
}

void QtNotificationPresenter::post(const NotificationRequest& request)
{
    // Without a session bus there is no one to show it; start-up said so once.
    if (!m_connection.isConnected()) {
        return;
    }
    if (m_askAgain && m_capabilities == Capabilities::known) {
        // A server may have started since the last post found none.
        m_askAgain = false;
        m_capabilities = Capabilities::unknown;
    }
    m_queue.push_back(request);
    sendNext();
}

void QtNotificationPresenter::queryCapabilities()
{
    if (m_capabilities == Capabilities::querying) {
        return;
    }
    m_capabilities = Capabilities::querying;
    const auto call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                     QStringLiteral("GetCapabilities"));
    whenAnswered<QDBusPendingReply<QStringList>>(
        m_connection, call, this, [this](const auto& reply) {
            if (reply.isError()) {
                kLog.info("no notification server: " + reply.error().message().toStdString());
            }
            didQueryCapabilities(reply.isError() ? QStringList() : reply.value(), !reply.isError());
        });
}

void QtNotificationPresenter::didQueryCapabilities(const QStringList& capabilities, bool answered)
{
    m_capabilities = Capabilities::known;
    m_askAgain = !answered;
    m_bodyMarkup = capabilities.contains(QStringLiteral("body-markup"));
    auto waiting = std::move(m_waitingForCapabilities);
    m_waitingForCapabilities.clear();
    for (const auto& done : waiting) {
        done();
    }
    sendNext();
}

void QtNotificationPresenter::sendNext()
{
    if (m_sending || m_queue.empty()) {
        return;
    }
    if (m_capabilities != Capabilities::known) {
        queryCapabilities(); // sends when it has the answer
        return;
    }
    m_sending = true;
    NotificationRequest request = std::move(m_queue.front());
    m_queue.pop_front();

    const auto previous = m_notificationIDs.find(request.identifier);
    const uint replacesID = previous == m_notificationIDs.end() ? 0 : previous->second;
    QString body = QString::fromStdString(request.body);
    if (m_bodyMarkup) {
        body = body.toHtmlEscaped();
    }
    auto call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Kestrove") << replacesID << QString()
         << QString::fromStdString(request.title) << body << actionList(request.categoryIdentifier)
         << hints(request) << -1;
    whenAnswered<QDBusPendingReply<uint>>(
        m_connection, call, this, [this, request = std::move(request)](const auto& reply) {
            if (reply.isError()) {
                kLog.error("post " + request.identifier +
                           " failed: " + reply.error().message().toStdString());
            } else {
                didPost(request, reply.value());
            }
            m_sending = false;
            sendNext();
        });
}

void QtNotificationPresenter::didPost(const NotificationRequest& request, uint id)
{
    const auto previous = m_notificationIDs.find(request.identifier);
    if (previous != m_notificationIDs.end() && previous->second != id) {
        m_shown.erase(previous->second);
    }
    m_notificationIDs[request.identifier] = id;
    m_shown[id] = {request.identifier, request.categoryIdentifier};
}

void QtNotificationPresenter::actionInvoked(uint id, const QString& action)
{
    const auto shown = m_shown.find(id);
    if (shown == m_shown.end()) {
        return; // another program's notification
    }
    // Copies: the answer may post again and change what is shown.
    const Shown answered = shown->second;
    route(answered.identifier, answered.category, action.toStdString());
}

void QtNotificationPresenter::notificationClosed(uint id, uint reason)
{
    (void)reason;
    const auto shown = m_shown.find(id);
    if (shown == m_shown.end()) {
        return;
    }
    const auto mapped = m_notificationIDs.find(shown->second.identifier);
    if (mapped != m_notificationIDs.end() && mapped->second == id) {
        m_notificationIDs.erase(mapped);
    }
    m_shown.erase(shown);
}

} // namespace kestrove
