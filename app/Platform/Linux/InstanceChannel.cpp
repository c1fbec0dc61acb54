#include "Platform/Linux/InstanceChannel.h"

#include "Platform/Log.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <chrono>

#include <unistd.h>

namespace kestrove {

namespace {

const Log kLog("app");
// One message: the arguments as a string list; the answer: one byte once they were taken.
constexpr char kTaken = '1';
constexpr unsigned long kConnectRetryMilliseconds = 50;
// A message larger than this is not one of ours.
constexpr qint64 kMaxMessage = 64 * 1024;
// The first element of a request; no link or argument of a second start begins so.
const QString kRequestMark = QStringLiteral("\x1e"
                                            "kestrove-request");

void writeAnswer(QLocalSocket& socket, const InstanceChannel::Answer& answer)
{
    QDataStream stream(&socket);
    stream << qint32(answer.exitCode) << QByteArray::fromStdString(answer.output)
           << QByteArray::fromStdString(answer.error) << QByteArray::fromStdString(answer.file);
    socket.flush();
}

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
            if (!received.isEmpty() && received.front() == kRequestMark) {
                answerRequest(*socket, received.mid(1));
                return;
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

void InstanceChannel::answerRequest(QLocalSocket& socket, const QStringList& received)
{
    std::vector<std::string> request;
    for (const QString& argument : received) {
        request.push_back(argument.toStdString());
    }
    // The asker may give up before a slow answer is ready; then the answer goes nowhere.
    QPointer<QLocalSocket> to(&socket);
    Reply reply = [to](const Answer& answer) {
        if (to) {
            writeAnswer(*to, answer);
        }
    };
    if (!onRequest) {
        reply({1, {}, "kestrove: the running Kestrove cannot answer this.\n", {}});
        return;
    }
    onRequest(request, std::move(reply));
}

std::optional<InstanceChannel::Answer>
InstanceChannel::request(const std::vector<std::string>& request, const std::string& socketPath,
                         int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(std::min(timeoutMs, 3000))) {
        return std::nullopt;
    }
    QStringList list{kRequestMark};
    for (const std::string& argument : request) {
        list.append(QString::fromStdString(argument));
    }
    QDataStream out(&socket);
    out << list;
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QDataStream in(&socket);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (!socket.waitForReadyRead(static_cast<int>(std::max<long long>(left.count(), 1))) &&
            socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
            return std::nullopt;
        }
        in.startTransaction();
        qint32 exitCode = 0;
        QByteArray output;
        QByteArray error;
        QByteArray file;
        in >> exitCode >> output >> error >> file;
        if (in.commitTransaction()) {
            return Answer{exitCode, output.toStdString(), error.toStdString(), file.toStdString()};
        }
    }
    return std::nullopt;
}

bool InstanceChannel::send(const std::vector<std::string>& arguments, const std::string& socketPath,
                           int timeoutMs)
{
    // An instance that is itself starting takes its lock before it listens: until the time-out
    // a missing or refusing socket is tried again.
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    while (true) {
        socket.connectToServer(QString::fromStdString(socketPath));
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(kConnectRetryMilliseconds);
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
