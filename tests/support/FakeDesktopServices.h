#pragma once

#include "Engine/DesktopServices.h"

namespace kestrove {

class FakeDesktopServices final : public DesktopServices
{
public:
    std::vector<RunningApplication> running;
    std::vector<std::string> sounds;

    std::vector<RunningApplication> runningApplications() override { return running; }
    void playSound(std::string_view name) override { sounds.emplace_back(name); }
};

} // namespace kestrove
