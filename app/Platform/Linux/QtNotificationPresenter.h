#pragma once

#include <QDBusConnection>
#include <QObject>

#include <deque>
#include <map>

#include "Engine/NotificationPresenter.h"

namespace kestrove {

// Shows notifications through the desktop's notification server (org.freedesktop.Notifications
// on the session bus). Calls are asynchronous and one at a time, so that a replacement always
// knows the id of the notification it replaces. Without a server, posts are logged and dropped;
// without a session bus, they are dropped quietly.
class QtNotificationPresenter final : public QObject, public NotificationPresenter
{
    Q_OBJECT

public:
    explicit QtNotificationPresenter(const Clock& clock,
                                     QDBusConnection connection = QDBusConnection::sessionBus(),
                                     QObject* parent = nullptr);

    void install() override;

protected:
    void post(const NotificationRequest& request) override;
    // The desktop asks no permission; what is settled is whether a server answers and whether
    // it renders markup in bodies.
    void requestAuthorization(std::function<void()> done) override;

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    enum class Capabilities
    {
        unknown,
        querying,
        known
    };
    struct Shown
    {
        std::string identifier;
        std::string category;
    };

    void queryCapabilities();
    void didQueryCapabilities(const QStringList& capabilities, bool answered);
    void sendNext();
    void didPost(const NotificationRequest& request, uint id);

    QDBusConnection m_connection;
    Capabilities m_capabilities = Capabilities::unknown;
    bool m_askAgain = false; // the last query found no server
    bool m_bodyMarkup = false;
    std::vector<std::function<void()>> m_waitingForCapabilities;
    std::deque<NotificationRequest> m_queue;
    bool m_sending = false;
    std::map<std::string, uint> m_notificationIDs; // request identifier → server's id
    std::map<uint, Shown> m_shown;
};

} // namespace kestrove
