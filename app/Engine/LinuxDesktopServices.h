#pragma once

#include "Engine/DesktopServices.h"

namespace kestrove {

// The desktop's answers on Linux. Event sounds are played by the sound theme's player
// (canberra-gtk-play) when it is installed.
class LinuxDesktopServices final : public DesktopServices
{
public:
    std::vector<RunningApplication> runningApplications() override;
    void playSound(std::string_view name) override;
};

} // namespace kestrove
