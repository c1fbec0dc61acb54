#pragma once

#include "Platform/Scheduler.h"
#include "Platform/Workspace.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kestrove {

// What the user has in front: application, its name, the focused window's title and document.
struct AppContext
{
    std::optional<std::string> bundleID;
    std::string appName = "—";
    std::string windowTitle;
    std::string documentPath;

    bool operator==(const AppContext&) const = default;
};

// Keeps the frontmost application's context current: activations are reported by the workspace,
// and the window title and document are re-read every 2 s because their changes announce nothing.
// A lost display empties the context: what it showed last is not what the user does. Titles,
// names and identifiers leave it as valid UTF-8 of at most kMaxTextCharacters characters.
class AppTracker
{
public:
    static constexpr double kPollInterval = 2.0;
    static constexpr std::size_t kMaxTextCharacters = WindowInfo::kMaxTitleCharacters;

    AppTracker(Workspace& workspace, Scheduler& scheduler);
    ~AppTracker();
    AppTracker(const AppTracker&) = delete;
    AppTracker& operator=(const AppTracker&) = delete;

    // Starting again first stops, so a second start never leaves two observers or two polls.
    void start();
    void stop();
    bool isWatching() const { return m_pollTimer != nullptr; }

    const AppContext& current() const { return m_current; }
    // Called after `current` changed: another application, or another title or document.
    std::function<void(const AppContext&)> onContextChange;

private:
    void updateContext(const FrontmostApplication& application);
    void refreshCurrentWindowInfo();
    void publish(AppContext context);

    Workspace& m_workspace;
    Scheduler& m_scheduler;
    AppContext m_current;
    std::optional<int> m_observer;
    std::optional<int> m_availabilityObserver;
    std::unique_ptr<ScheduledTimer> m_pollTimer;
};

} // namespace kestrove
