#pragma once

#include "support/TemporaryFolder.h"

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace kestrove::testing_support {

// The Qt event loop that the platform services report through; one per test program.
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "kestrove_platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        new QCoreApplication(argc, argv);
    }
}

using kestrove::TemporaryFolder;

inline constexpr int kServerWaitMilliseconds = 5000;

// An X display of the test's own, without a window manager, that it can take away and
// bring back.
class PrivateServer
{
public:
    bool start(const QString& display = {})
    {
        QStringList arguments{"-nolisten", "tcp", "-noreset"};
        arguments << (display.isEmpty() ? QStringList{"-displayfd", "1"} : QStringList{display});
        m_process.start("Xvfb", arguments);
        if (display.isEmpty()) {
            if (!m_process.waitForReadyRead(kServerWaitMilliseconds)) {
                return false;
            }
            m_display = ":" + QString::fromUtf8(m_process.readLine()).trimmed();
            return true;
        }
        return m_process.waitForStarted(kServerWaitMilliseconds);
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished(kServerWaitMilliseconds);
    }
    const QString& display() const { return m_display; }
    ~PrivateServer() { stop(); }

private:
    QProcess m_process;
    QString m_display;
};

} // namespace kestrove::testing_support
