#include "Platform/Linux/QtFolderRevealer.h"

#include "Platform/Linux/QtDBusReply.h"
#include "Platform/Log.h"

#include <QDBusPendingReply>
#include <QProcess>
#include <QUrl>

namespace kestrove {

namespace {

const Log kLog("app");

} // namespace

QtFolderRevealer::QtFolderRevealer(QDBusConnection bus, Launcher launcher)
    : m_bus(std::move(bus)), m_launcher(std::move(launcher))
{
    if (!m_launcher) {
        m_launcher = [](const QString& program, const QStringList& arguments) {
            return QProcess::startDetached(program, arguments);
        };
    }
}

void QtFolderRevealer::reveal(const std::string& folder)
{
    const QString path = QString::fromStdString(folder);
    if (!m_bus.isConnected()) {
        openWithDefault(path);
        return;
    }
    auto call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                               QStringLiteral("/org/freedesktop/FileManager1"),
                                               QStringLiteral("org.freedesktop.FileManager1"),
                                               QStringLiteral("ShowFolders"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    whenAnswered<QDBusPendingReply<>>(m_bus, call, &m_context,
                                      [this, path](const QDBusPendingReply<>& reply) {
                                          if (reply.isError()) {
                                              openWithDefault(path);
                                          }
                                      });
}

void QtFolderRevealer::openWithDefault(const QString& folder)
{
    if (!m_launcher(QStringLiteral("xdg-open"), {folder})) {
        kLog.error("cannot open the data folder: neither a file manager nor xdg-open answered");
    }
}

} // namespace kestrove
