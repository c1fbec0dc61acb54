#pragma once

#include "Engine/DesktopServices.h"
#include "Platform/AppIdentityResolver.h"
#include "Platform/LinuxX11Connection.h"

#include <optional>
#include <string>
#include <vector>

namespace kestrove {

// The desktop's answers on Linux. Running applications are the EWMH window manager's client
// windows, identified as the sampler identifies the frontmost one. Event sounds are played by
// the sound theme's player (canberra-gtk-play) when it is installed.
class LinuxDesktopServices final : public DesktopServices
{
public:
    struct Options
    {
        std::string displayName;              // empty: $DISPLAY
        std::vector<std::string> dataFolders; // empty: the XDG data folders
    };

    LinuxDesktopServices();
    explicit LinuxDesktopServices(Options options);

    std::vector<RunningApplication> runningApplications() override;
    void playSound(std::string_view name) override;

private:
    bool ensureConnected();
    std::optional<RunningApplication> application(unsigned long window);
    std::string textProperty(unsigned long window, const char* name);

    Options m_options;
    LinuxX11Connection m_connection;
    std::optional<AppIdentityResolver> m_resolver; // desktop entries read on first use
};

} // namespace kestrove
