#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariantMap>

#include <map>
#include <string>
#include <vector>

namespace kestrove::journey {

// Stands in for the desktop's notification server: owns its name on the session bus and
// records every notification it is asked to show.
class NotificationRecorder : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Received
    {
        QString application;
        QString summary;
        QString body;
        QStringList actions;
    };

    // On a connection of its own: the program's calls reach it while the test waits.
    bool start()
    {
        m_connection =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "journey-notifications");
        return m_connection.registerObject("/org/freedesktop/Notifications", this,
                                           QDBusConnection::ExportAllSlots) &&
               m_connection.registerService("org.freedesktop.Notifications");
    }
    ~NotificationRecorder() override
    {
        m_connection.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus("journey-notifications");
    }

    std::vector<Received> received;

public Q_SLOTS:
    uint Notify(const QString& application, uint replacesID, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout)
    {
        Q_UNUSED(icon);
        Q_UNUSED(hints);
        Q_UNUSED(timeout);
        received.push_back({application, summary, body, actions});
        return replacesID != 0 ? replacesID : static_cast<uint>(received.size());
    }
    QStringList GetCapabilities() { return {"body", "actions"}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion)
    {
        vendor = "journey";
        version = "1";
        specVersion = "1.2";
        return "journey";
    }
    void CloseNotification(uint) {}

private:
    QDBusConnection m_connection{QString()};
};

// Every focus-state broadcast the program sends on the session bus, as key → value maps.
class FocusSignalRecorder : public QObject
{
    Q_OBJECT

public:
    bool start()
    {
        return QDBusConnection::sessionBus().connect(QString(), "/com/kestrove/focusState",
                                                     "com.kestrove.focusState", "Changed", this,
                                                     SLOT(changed(QDBusMessage)));
    }

    std::vector<std::map<std::string, std::string>> received;

    std::vector<std::string> events() const
    {
        std::vector<std::string> names;
        for (const auto& entries : received) {
            const auto event = entries.find("event");
            names.push_back(event == entries.end() ? std::string() : event->second);
        }
        return names;
    }

private Q_SLOTS:
    void changed(const QDBusMessage& message)
    {
        std::map<std::string, std::string> entries;
        if (!message.arguments().isEmpty()) {
            const auto argument = message.arguments().front().value<QDBusArgument>();
            argument.beginMap();
            while (!argument.atEnd()) {
                QString key;
                QString value;
                argument.beginMapEntry();
                argument >> key >> value;
                argument.endMapEntry();
                entries[key.toStdString()] = value.toStdString();
            }
            argument.endMap();
        }
        received.push_back(std::move(entries));
    }
};

// One web page on 127.0.0.1 for the browser to show, with the title `title`.
class PageServer : public QObject
{
public:
    explicit PageServer(QString title) : m_title(std::move(title))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    const QByteArray page = "<html><head><title>" + m_title.toUtf8() +
                                            "</title></head><body><h1>" + m_title.toUtf8() +
                                            "</h1><p>Reading for the essay.</p></body></html>";
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                  "Connection: close\r\nContent-Length: " +
                                  QByteArray::number(page.size()) + "\r\n\r\n" + page);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString& path) const
    {
        return QString("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

private:
    QString m_title;
    QTcpServer m_server;
};

// The whole desktop, both monitors side by side, as one picture.
inline QImage desktopPicture()
{
    QRect virtualGeometry;
    for (QScreen* screen : QGuiApplication::screens()) {
        virtualGeometry |= screen->geometry();
    }
    QImage picture(virtualGeometry.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        painter.drawPixmap(geometry.topLeft() - virtualGeometry.topLeft(),
                           screen->grabWindow(0, 0, 0, geometry.width(), geometry.height()));
    }
    return picture;
}

} // namespace kestrove::journey
