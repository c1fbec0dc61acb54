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
    int windowInfoReads = 0;

    std::optional<FrontmostApplication> frontmostApplication() override { return frontmost; }

    WindowInfo windowInfo(const FrontmostApplication& application) override
    {
        ++windowInfoReads;
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

    void activate(FrontmostApplication application)
    {
        frontmost = application;
        for (auto& [id, handler] : std::map(m_observers)) {
            handler(application);
        }
    }
    std::size_t observerCount() const { return m_observers.size(); }

private:
    std::map<int, ActivationHandler> m_observers;
    int m_lastObserver = 0;
};

} // namespace kestrove
