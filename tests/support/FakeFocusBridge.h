#pragma once

#include <string>
#include <vector>

#include "Engine/FocusBridge.h"

namespace kestrove {

// Records the calls in order: "engage", "disengage".
class FakeFocusBridge final : public FocusBridge
{
public:
    std::vector<std::string> calls;

    void engage() override { calls.push_back("engage"); }
    void disengage() override { calls.push_back("disengage"); }
};

} // namespace kestrove
