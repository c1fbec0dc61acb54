#pragma once

#include "Platform/AccessibilitySwitch.h"

#include <vector>

namespace kestrove {

// The accessibility switch as a value; answers are held until answer() so that a test sees
// the moment before the bus replies.
class FakeAccessibilitySwitch final : public AccessibilitySwitch
{
public:
    AccessibilityState state = AccessibilityState::off;
    bool refusesTurnOn = false;
    int reads = 0;

    void readState(StateHandler done) override
    {
        ++reads;
        m_pending.push_back([this, done] { done(state); });
    }
    void turnOn(Done done) override
    {
        m_pending.push_back([this, done] {
            if (!refusesTurnOn) {
                state = AccessibilityState::on;
            }
            done(!refusesTurnOn);
        });
    }
    // Delivers every answer so far, and those they asked for in turn.
    void answer()
    {
        while (!m_pending.empty()) {
            auto next = std::move(m_pending.front());
            m_pending.erase(m_pending.begin());
            next();
        }
    }

private:
    std::vector<std::function<void()>> m_pending;
};

} // namespace kestrove
