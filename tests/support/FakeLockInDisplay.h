#pragma once

#include "Engine/LockInDisplay.h"

namespace kestrove {

// Records what the engine asks of the floating display.
class FakeLockInDisplay final : public LockInDisplay
{
public:
    bool enabled = true;
    bool setUpDone = false;
    bool visible = false;
    int setUps = 0;
    int snaps = 0;
    int fronts = 0;
    int outs = 0;

    bool isEnabled() const override { return enabled; }
    bool isSetUp() const override { return setUpDone; }
    void setUp() override
    {
        setUpDone = true;
        ++setUps;
    }
    bool hasPanel() const override { return setUpDone; }
    bool isPanelVisible() const override { return visible; }
    void snapToScreenIfNeeded() override { ++snaps; }
    void orderFront() override
    {
        visible = true;
        ++fronts;
    }
    void orderOut() override
    {
        visible = false;
        ++outs;
    }
};

} // namespace kestrove
