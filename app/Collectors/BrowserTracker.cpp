#include "Collectors/BrowserTracker.h"

#include "core/ContextClassifier.h"

namespace kestrove {

BrowserTracker::BrowserTracker(BrowserScripting& scripting, const Clock& clock,
                               MainQueue& mainQueue)
    : m_scripting(scripting), m_clock(clock), m_mainQueue(mainQueue)
{}

std::string BrowserTracker::currentURL(const std::optional<std::string>& bundleID,
                                       std::optional<int> processID)
{
    if (!ContextClassifier::isBrowser(bundleID)) {
        return {};
    }
    if (m_lastBundleID != bundleID) {
        // Another browser: its address starts unknown and is fetched at once, unless the
        // previous browser's fetch is still running.
        m_lastBundleID = bundleID;
        m_lastURL.clear();
        m_lastFetchTime = -std::numeric_limits<Date>::infinity();
    }
    if (!m_inFlight && m_clock.now() - m_lastFetchTime >= kCacheDuration) {
        startFetch(*bundleID, processID);
    }
    return m_lastURL;
}

void BrowserTracker::startFetch(const std::string& bundleID, std::optional<int> processID)
{
    m_inFlight = true;
    std::weak_ptr<BrowserTracker*> alive = m_alive;
    MainQueue* mainQueue = &m_mainQueue;
    m_scripting.activeTabURL(bundleID, processID,
                             [alive, mainQueue, bundleID](std::optional<std::string> address) {
                                 mainQueue->post([alive, bundleID, address = std::move(address)] {
                                     if (auto tracker = alive.lock()) {
                                         (*tracker)->finishFetch(bundleID, address);
                                     }
                                 });
                             });
}

void BrowserTracker::finishFetch(const std::string& bundleID,
                                 const std::optional<std::string>& address)
{
    m_inFlight = false;
    m_lastFetchTime = m_clock.now();
    // A late answer for a browser that is no longer the one asked about is dropped.
    if (m_lastBundleID != bundleID) {
        return;
    }
    const std::string url = address.value_or("");
    if (url == m_lastURL) {
        return;
    }
    m_lastURL = url;
    if (onChange) {
        onChange();
    }
}

} // namespace kestrove
