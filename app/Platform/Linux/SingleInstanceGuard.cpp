#include "Platform/Linux/SingleInstanceGuard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cstdlib>
#include <sys/stat.h>

namespace kestrove {

QString SingleInstanceGuard::defaultLockPath(const std::string& databasePath)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const QString folder = runtime ? QFile::decodeName(runtime) : QString();
    const QFileInfo info(folder);
    if (!folder.isEmpty() && info.isAbsolute() && info.isDir()) {
        return QDir(folder).filePath(kLockFileName);
    }
    return QFileInfo(QFile::decodeName(databasePath.c_str())).dir().filePath(kLockFileName);
}

SingleInstanceGuard::SingleInstanceGuard(QString lockPath)
    : m_lockPath(std::move(lockPath)), m_lock(m_lockPath)
{
    // Kestrove runs for days: a lock is stale only when the process named in it is gone,
    // never for its age.
    m_lock.setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

SingleInstanceGuard::Outcome SingleInstanceGuard::acquire()
{
    if (m_lock.isLocked()) {
        return m_outcome;
    }
    const QString folder = QFileInfo(m_lockPath).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder)) {
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }
    if (m_lock.tryLock(0)) {
        m_outcome = Outcome::acquired;
    } else {
        m_outcome =
            m_lock.error() == QLockFile::LockFailedError ? Outcome::heldElsewhere : Outcome::failed;
    }
    return m_outcome;
}

std::optional<std::int64_t> SingleInstanceGuard::holderProcessID() const
{
    if (m_outcome != Outcome::heldElsewhere) {
        return std::nullopt;
    }
    // A holder that has only just made its file writes its process into it a moment later.
    const QDeadlineTimer deadline(kHolderWriteMilliseconds);
    qint64 pid = 0;
    while (!m_lock.getLockInfo(&pid, nullptr, nullptr)) {
        if (deadline.hasExpired()) {
            return std::nullopt;
        }
        QThread::msleep(10);
    }
    return pid;
}

std::string SingleInstanceGuard::refusal() const
{
    switch (m_outcome) {
    case Outcome::acquired:
        return {};
    case Outcome::heldElsewhere: {
        const auto pid = holderProcessID();
        return "Kestrove is already running for this user" +
               (pid ? " (process " + std::to_string(*pid) + ")" : std::string()) +
               "; it keeps recording, and this start exits.";
    }
    case Outcome::failed:
        break;
    }
    return "cannot take the lock that keeps a second Kestrove from recording (" +
           m_lockPath.toStdString() +
           (m_lock.error() == QLockFile::PermissionError ? ": permission denied"
                                                         : std::string(": unknown error")) +
           "); Kestrove does not start.";
}

} // namespace kestrove
