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

// The desktop's accessibility bus inside the test's session bus, as its launcher starts it.
// Its settings are held in memory: they start with the switch off and leave the user's own
// untouched.
class AccessibilityBusLauncher
{
public:
    bool start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(m_home.path));
        environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        m_process.setProcessEnvironment(environment);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                        {QStringLiteral("--launch-immediately")});
        return m_process.waitForStarted();
    }
    // Stops the launcher, which takes its bus with it.
    bool stop()
    {
        m_process.terminate();
        return m_process.waitForFinished(kServerWaitMilliseconds);
    }

private:
    const TemporaryFolder m_home;
    QProcess m_process;
};

} // namespace kestrove::testing_support
