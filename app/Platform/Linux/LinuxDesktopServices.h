#pragma once

#include "Engine/DesktopServices.h"

namespace kestrove {

class LinuxWorkspace;

// The desktop's answers on Linux. Running applications are the EWMH window manager's client
// windows, identified by the workspace as the frontmost one is. Event sounds are played by the
// sound theme's player (canberra-gtk-play) when it is installed.
class LinuxDesktopServices final : public DesktopServices
{
public:
    explicit LinuxDesktopServices(LinuxWorkspace& workspace) : m_workspace(workspace) {}

    std::vector<RunningApplication> runningApplications() override;
    void playSound(std::string_view name) override;

private:
    LinuxWorkspace& m_workspace;
};

} // namespace kestrove
