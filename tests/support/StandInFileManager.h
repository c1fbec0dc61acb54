#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace kestrove::testing_support {

// A file manager on the test's own connection to the session bus that records the folders it
// is asked to show. Test programs that use it list this header among their sources, for moc.
class StandInFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in-file-manager");
    QStringList shownFolders;

    StandInFileManager()
    {
        bus.registerObject("/org/freedesktop/FileManager1", this, QDBusConnection::ExportAllSlots);
        EXPECT_TRUE(bus.registerService("org.freedesktop.FileManager1"));
    }
    ~StandInFileManager() override
    {
        bus.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("stand-in-file-manager");
    }

public slots:
    void ShowFolders(const QStringList& uris, const QString&) { shownFolders += uris; }
    void ShowItems(const QStringList&, const QString&) {}
};

} // namespace kestrove::testing_support
