#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/LifetimeGuard.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrove {

class MainQueue;

// One application the user can choose: what the desktop's menus list.
struct InstalledApp
{
    std::string bundleID; // Kestrove's identifier, the one its windows are tracked under
    std::string name;     // as the menus show it, in the user's language where the entry has it
    std::string icon;     // a name in the icon theme or a file's absolute path; "" for none

    bool operator==(const InstalledApp&) const = default;
};

// The installed applications, and the one look-up from an identifier to what a list shows of
// an application: its name and its icon. The scan runs on a worker thread; its result replaces
// the list on the main thread and tells the observers. Everything else is main thread only.
class InstalledApps
{
public:
    // Reads the applications, sorted by name; never fails (it returns what it found).
    using Scan = std::function<std::vector<InstalledApp>()>;

    InstalledApps(Scan scan, MainQueue& mainQueue);
    // Waits for a scan that still runs; its result is dropped.
    ~InstalledApps();
    InstalledApps(const InstalledApps&) = delete;
    InstalledApps& operator=(const InstalledApps&) = delete;

    // Starts a scan. While one runs, another follows it, so the list that arrives is never
    // older than this call.
    void refresh();
    // Blocks until no scan runs; its result still arrives through the main queue.
    void waitForScan();

    bool hasScanned() const { return m_hasScanned; }
    const std::vector<InstalledApp>& apps() const { return m_apps; }
    ChangeObservers& observers() { return m_observers; }

    // The application with this identifier, ignoring case; null when none is installed.
    const InstalledApp* find(std::string_view bundleID) const;
    // Its name; for an application not installed (or without a name), the identifier's last
    // part capitalised ("com.google.chrome" reads "Chrome"), else the identifier itself.
    std::string displayName(std::string_view bundleID) const;
    // Its icon; "" when none is known.
    std::string icon(std::string_view bundleID) const;

    static std::string fallbackName(std::string_view bundleID);

private:
    void startScan();
    void apply(std::vector<InstalledApp> apps);

    Scan m_scan;
    MainQueue& m_mainQueue;
    std::vector<InstalledApp> m_apps;
    std::map<std::string, std::size_t> m_byLowerID;
    bool m_hasScanned = false;
    bool m_scanning = false;
    bool m_scanAgain = false;
    std::thread m_worker;
    ChangeObservers m_observers;
    LifetimeGuard m_guard;
};

} // namespace kestrove
