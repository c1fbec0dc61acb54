#pragma once

// What the engine asks of windows that are not built yet: the morning gate. It goes as its real
// window lands; until then the gate never rises.
#include "Engine/MorningGateController.h"

namespace kestrove {

class NoMorningGate final : public MorningGateController
{
public:
    void start(DayPlanStore&) override {}
    void evaluate() override {}
    void arm(bool) override {}
    bool isUp() const override { return false; }
    void openEditor() override {}
};

} // namespace kestrove
