#pragma once

#include "Engine/MorningGateController.h"

namespace kestrove {

class FakeMorningGate final : public MorningGateController
{
public:
    DayPlanStore* store = nullptr;
    int starts = 0;
    int evaluations = 0;

    void start(DayPlanStore& dayPlans) override
    {
        store = &dayPlans;
        ++starts;
    }
    void evaluate() override { ++evaluations; }
};

} // namespace kestrove
