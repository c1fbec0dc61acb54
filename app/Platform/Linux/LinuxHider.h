#pragma once

#include "Platform/Hider.h"

#include <functional>
#include <memory>
#include <string>

namespace kestrove {

class AppIdentityResolver;
class MainQueue;

// Hides an application on an X11 desktop with an EWMH window manager: every client window of it
// (from _NET_CLIENT_LIST, named as the workspace names applications) is iconified, marked
// _NET_WM_STATE_HIDDEN where the window manager ignored that, and then checked through WM_STATE.
// The window to keep is activated first through _NET_ACTIVE_WINDOW, as a pager would.
// Runs on a thread of its own with an X connection of its own, one request at a time.
class LinuxHider final : public Hider
{
public:
    struct Options
    {
        std::string displayName; // empty: $DISPLAY
        // The workspace's identities; asked on the main thread for each request.
        std::function<std::shared_ptr<const AppIdentityResolver>()> resolver;
        std::string procRoot = "/proc";
        // Windows still shown this long after iconifying are marked hidden by hand.
        double fallbackAfter = 0.15;
        // How long the hider waits for the window manager before it reports a failure.
        double verifyWithin = 0.75;
    };

    LinuxHider(MainQueue& mainQueue, Options options);
    // Finishes the request that runs; requests not started are dropped unanswered.
    ~LinuxHider() override;
    LinuxHider(const LinuxHider&) = delete;
    LinuxHider& operator=(const LinuxHider&) = delete;

    void hide(Request request, Completion done) override;
    // Blocks until every request made so far has run; its completion is posted, not yet run.
    void waitUntilIdle();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kestrove
