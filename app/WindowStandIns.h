#pragma once

// What the engine asks of windows that are not built yet: the floating lock-in display. It goes
// as its real window lands.
#include "Engine/LockInDisplay.h"

namespace kestrove {

class NoLockInDisplay final : public LockInDisplay
{
public:
    bool isEnabled() const override { return false; }
    bool isSetUp() const override { return false; }
    void setUp() override {}
    bool hasPanel() const override { return false; }
    bool isPanelVisible() const override { return false; }
    void snapToScreenIfNeeded() override {}
    void orderFront() override {}
    void orderOut() override {}
};

} // namespace kestrove
