#pragma once

#include "Platform/BrowserScripting.h"
#include "Platform/Clock.h"
#include "Platform/MainQueue.h"

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>

namespace kestrove {

// The frontmost browser's address for the sampler, answered from a cache on the main thread.
// The cache is refreshed in the background, at most one fetch at a time and never sooner than
// 2 s after the last one completed, so a slow browser never slows down a sample.
class BrowserTracker
{
public:
    static constexpr TimeInterval kCacheDuration = 2.0;

    BrowserTracker(BrowserScripting& scripting, const Clock& clock, MainQueue& mainQueue);
    BrowserTracker(const BrowserTracker&) = delete;
    BrowserTracker& operator=(const BrowserTracker&) = delete;

    // The cached address of the browser `bundleID` (empty when unknown or not one of the
    // classifier's browsers); starts a refresh when one is due. Right after a switch of browsers
    // the address is empty until the first fetch for the new one completes and `onChange` runs.
    std::string currentURL(const std::optional<std::string>& bundleID,
                           std::optional<int> processID = std::nullopt);

    // Called on the main thread when a fetch changed the cached address.
    std::function<void()> onChange;

private:
    void startFetch(const std::string& bundleID, std::optional<int> processID);
    void finishFetch(const std::string& bundleID, const std::optional<std::string>& address);

    BrowserScripting& m_scripting;
    const Clock& m_clock;
    MainQueue& m_mainQueue;

    std::string m_lastURL;
    std::optional<std::string> m_lastBundleID; // as passed in, not lower-cased
    Date m_lastFetchTime = -std::numeric_limits<Date>::infinity();
    bool m_inFlight = false;
    // Completions posted after the tracker is gone find this expired and are dropped.
    std::shared_ptr<BrowserTracker*> m_alive = std::make_shared<BrowserTracker*>(this);
};

} // namespace kestrove
