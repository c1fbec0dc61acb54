#pragma once

#include "Platform/FolderRevealer.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace kestrove {

// Opens a folder in the file manager that serves org.freedesktop.FileManager1 on the session
// bus; when none answers, in whatever xdg-open picks for folders.
class QtFolderRevealer final : public FolderRevealer
{
public:
    // Starts a program with arguments, detached; false when it could not be started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    explicit QtFolderRevealer(QDBusConnection bus = QDBusConnection::sessionBus(),
                              Launcher launcher = {});

    void reveal(const std::string& folder) override;

private:
    void openWithDefault(const QString& folder);

    QDBusConnection m_bus;
    Launcher m_launcher;
    QObject m_context;
};

} // namespace kestrove
