#include "Platform/InstalledApps.h"

#include "Platform/MainQueue.h"
#include "Platform/MainThread.h"
#include "core/Text.h"

#include <cctype>

namespace kestrove {

InstalledApps::InstalledApps(Scan scan, MainQueue& mainQueue)
    : m_scan(std::move(scan)), m_mainQueue(mainQueue)
{}

InstalledApps::~InstalledApps()
{
    waitForScan();
}

void InstalledApps::refresh()
{
    assertMainThread();
    if (m_scanning) {
        m_scanAgain = true;
        return;
    }
    startScan();
}

void InstalledApps::startScan()
{
    waitForScan();
    m_scanning = true;
    auto deliver = m_guard.wrap<std::vector<InstalledApp>>(
        [this](std::vector<InstalledApp> apps) { apply(std::move(apps)); });
    m_worker = std::thread([scan = m_scan, deliver = std::move(deliver), &queue = m_mainQueue] {
        auto apps = scan();
        queue.post([deliver, apps = std::move(apps)]() mutable { deliver(std::move(apps)); });
    });
}

void InstalledApps::waitForScan()
{
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void InstalledApps::apply(std::vector<InstalledApp> apps)
{
    m_scanning = false;
    m_apps = std::move(apps);
    m_byLowerID.clear();
    for (std::size_t i = 0; i < m_apps.size(); ++i) {
        m_byLowerID.emplace(Text::lowercased(m_apps[i].bundleID), i);
    }
    m_hasScanned = true;
    if (m_scanAgain) {
        m_scanAgain = false;
        startScan();
    }
    m_observers.notify();
}

const InstalledApp* InstalledApps::find(std::string_view bundleID) const
{
    const auto found = m_byLowerID.find(Text::lowercased(bundleID));
    return found == m_byLowerID.end() ? nullptr : &m_apps[found->second];
}

std::string InstalledApps::displayName(std::string_view bundleID) const
{
    const InstalledApp* app = find(bundleID);
    return app && !app->name.empty() ? app->name : fallbackName(bundleID);
}

std::string InstalledApps::icon(std::string_view bundleID) const
{
    const InstalledApp* app = find(bundleID);
    return app ? app->icon : std::string();
}

std::string InstalledApps::fallbackName(std::string_view bundleID)
{
    std::string_view last;
    std::string_view rest = bundleID;
    while (!rest.empty()) {
        const auto dot = rest.find('.');
        const std::string_view piece = rest.substr(0, dot);
        if (!piece.empty()) {
            last = piece;
        }
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    if (last.empty()) {
        return std::string(bundleID);
    }
    // Each word capitalised: its first letter upper case, the rest lower case.
    std::string name = Text::lowercased(last);
    bool wordStart = true;
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isspace(byte)) {
            wordStart = true;
        } else if (wordStart) {
            // Identifiers are ASCII; a letter beyond it stays as it is.
            if (byte < 0x80) {
                c = static_cast<char>(std::toupper(byte));
            }
            wordStart = false;
        }
    }
    return name;
}

} // namespace kestrove
