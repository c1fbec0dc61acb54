#pragma once

#include "Platform/Workspace.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrove {

class AppIdentityResolver;

// The workspace of an X11 desktop with an EWMH window manager: the active window from
// _NET_ACTIVE_WINDOW (activations arrive as property changes on the root window), the application
// from its window properties and the installed desktop entries, titles from _NET_WM_NAME.
// Lives on the main thread and needs a running Qt event loop for its reports.
class LinuxWorkspace final : public Workspace
{
public:
    struct Options
    {
        std::string displayName;              // empty: $DISPLAY
        std::vector<std::string> dataFolders; // empty: the XDG data folders
        std::string procRoot = "/proc";       // where a window's process is looked up
        double reconnectInterval = 5.0;       // seconds between attempts after the display is lost
    };

    LinuxWorkspace();
    explicit LinuxWorkspace(Options options);
    ~LinuxWorkspace() override;

    std::optional<FrontmostApplication> frontmostApplication() override;
    WindowInfo windowInfo(const FrontmostApplication& application) override;
    int addActivationObserver(ActivationHandler handler) override;
    void removeActivationObserver(int observer) override;
    bool isTrusted() override;
    bool isDisplayAvailable() override;
    int addAvailabilityObserver(AvailabilityHandler handler) override;
    void removeAvailabilityObserver(int observer) override;

    bool isConnected() const;
    // The identities as this workspace resolves them now; safe to use from another thread.
    std::shared_ptr<const AppIdentityResolver> identityResolver() const;
    const std::string& procRoot() const;
    // The application of every client window, in the window manager's order; an application
    // with several windows appears once per window.
    std::vector<FrontmostApplication> clientApplications();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kestrove
