#pragma once

#include "Platform/Workspace.h"

#include <map>

namespace kestrove {

// A workspace whose frontmost application, window titles and trust the test sets by hand.
// activate() reports an activation the way the desktop would.
class FakeWorkspace final : public Workspace
{
public:
    std::optional<FrontmostApplication> frontmost;
    std::map<std::uint64_t, WindowInfo> windows; // by window handle
    bool trusted = true;
    bool available = true;
    int windowInfoReads = 0;

    // Without the display nothing can be read, as on the desktop.
    std::optional<FrontmostApplication> frontmostApplication() override
    {
        return available ? frontmost : std::nullopt;
    }

    WindowInfo windowInfo(const FrontmostApplication& application) override
    {
        ++windowInfoReads;
        if (!available) {
            return {};
        }
        const auto found = windows.find(application.window);
        return found == windows.end() ? WindowInfo{} : found->second;
    }

    int addActivationObserver(ActivationHandler handler) override
    {
        m_observers[++m_lastObserver] = std::move(handler);
        return m_lastObserver;
    }
    void removeActivationObserver(int observer) override { m_observers.erase(observer); }
    bool isTrusted() override { return trusted; }
    bool isDisplayAvailable() override { return available; }
    int addAvailabilityObserver(AvailabilityHandler handler) override
    {
        m_availabilityObservers[++m_lastObserver] = std::move(handler);
        return m_lastObserver;
    }
    void removeAvailabilityObserver(int observer) override
    {
        m_availabilityObservers.erase(observer);
    }

    void activate(FrontmostApplication application)
    {
        frontmost = application;
        for (auto& [id, handler] : std::map(m_observers)) {
            handler(application);
        }
    }
    // The display goes away or comes back, as its server would make it.
    void setAvailable(bool isAvailable)
    {
        available = isAvailable;
        for (auto& [id, handler] : std::map(m_availabilityObservers)) {
            handler(isAvailable);
        }
    }
    std::size_t observerCount() const { return m_observers.size(); }
    std::size_t availabilityObserverCount() const { return m_availabilityObservers.size(); }

private:
    std::map<int, ActivationHandler> m_observers;
    std::map<int, AvailabilityHandler> m_availabilityObservers;
    int m_lastObserver = 0;
};

} // namespace kestrove
