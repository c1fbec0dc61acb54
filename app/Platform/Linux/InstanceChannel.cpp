#include "Platform/Linux/InstanceChannel.h"

#include "Platform/Log.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringList>

#include <unistd.h>

namespace kestrove {

namespace {

const Log kLog("app");
// One message: the arguments as a string list; the answer: one byte once they were taken.
constexpr char kTaken = '1';
// A message larger than this is not one of ours.
constexpr qint64 kMaxMessage = 64 * 1024;

} // namespace

InstanceChannel::InstanceChannel(std::string socketPath) : m_socketPath(std::move(socketPath)) {}

InstanceChannel::~InstanceChannel() = default;

std::string InstanceChannel::defaultSocketPath()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) {
        return (QString::fromLocal8Bit(runtime) + "/kestrove.socket").toStdString();
    }
    return (QDir::tempPath() + "/kestrove-" + QString::number(::getuid()) + ".socket")
        .toStdString();
}

bool InstanceChannel::listen()
{
    const QString path = QString::fromStdString(m_socketPath);
    // The caller holds the instance lock, so a socket file here is a crashed run's.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        kLog.error("cannot listen for a second start at " + m_socketPath + ": " +
                   m_server->errorString().toStdString());
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    return true;
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxMessage) {
                socket->abort();
                return;
            }
            QDataStream stream(socket);
            stream.startTransaction();
            QStringList received;
            stream >> received;
            if (!stream.commitTransaction()) {
                return; // the rest has not arrived yet
            }
            socket->write(&kTaken, 1);
            socket->flush();
            std::vector<std::string> arguments;
            for (const QString& argument : received) {
                arguments.push_back(argument.toStdString());
            }
            if (onMessage) {
                onMessage(arguments);
            }
        });
    }
}

bool InstanceChannel::send(const std::vector<std::string>& arguments, const std::string& socketPath,
                           int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QStringList list;
    for (const std::string& argument : arguments) {
        list.append(QString::fromStdString(argument));
    }
    QDataStream stream(&socket);
    stream << list;
    if (!socket.waitForBytesWritten(timeoutMs) || !socket.waitForReadyRead(timeoutMs)) {
        return false;
    }
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kTaken;
}

} // namespace kestrove
