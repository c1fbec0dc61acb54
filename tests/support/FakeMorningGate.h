#pragma once

#include "Engine/MorningGateController.h"

namespace kestrove {

class FakeMorningGate final : public MorningGateController
{
public:
    DayPlanStore* store = nullptr;
    int starts = 0;
    int evaluations = 0;
    int editorOpenings = 0;
    bool up = false;
    bool previewing = false;

    void start(DayPlanStore& dayPlans) override
    {
        store = &dayPlans;
        ++starts;
    }
    void evaluate() override { ++evaluations; }
    void arm(bool preview) override
    {
        up = true;
        previewing = preview;
    }
    bool isUp() const override { return up; }
    void openEditor() override { ++editorOpenings; }
};

} // namespace kestrove
