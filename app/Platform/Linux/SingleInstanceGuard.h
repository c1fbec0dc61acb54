#pragma once

#include <QLockFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace kestrove {

// One Kestrove per user: the first start holds a lock file for its whole run, taken before it
// opens the database, and a later start finds it held and steps aside. A run that crashed (or
// was killed) leaves its file behind; the next start takes it over once the process named in
// it is gone. Main thread only.
class SingleInstanceGuard
{
public:
    enum class Outcome
    {
        // This process is the one Kestrove.
        acquired,
        // Another Kestrove of this user runs and keeps the lock.
        heldElsewhere,
        // The lock file cannot be made; nobody can tell whether another Kestrove runs.
        failed
    };

    static constexpr const char* kLockFileName = "kestrove.lock";
    // How long a file without its holder's process is read again before the process is left
    // unnamed.
    static constexpr int kHolderWriteMilliseconds = 1000;

    // In $XDG_RUNTIME_DIR, the user's private folder for the session; beside the database
    // when that is not set, not absolute or not a folder.
    static QString defaultLockPath(const std::string& databasePath);

    explicit SingleInstanceGuard(QString lockPath);
    // Releases the lock.
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // Takes the lock without waiting. Its folder is made (mode 0700) when missing.
    Outcome acquire();
    Outcome outcome() const { return m_outcome; }
    // The process that holds the lock when another one does, as its file names it.
    std::optional<std::int64_t> holderProcessID() const;
    // What this start tells the user when it does not run.
    std::string refusal() const;
    const QString& lockPath() const { return m_lockPath; }

private:
    QString m_lockPath;
    QLockFile m_lock;
    Outcome m_outcome = Outcome::failed;
};

} // namespace kestrove
