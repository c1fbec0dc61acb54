#pragma once

#include "Platform/LoginItem.h"

namespace kestrove {

// A start-up list in memory that can be told to refuse changes.
class FakeLoginItem final : public LoginItem
{
public:
    bool enabled = false;
    bool refuses = false;
    int calls = 0;

    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool value) override
    {
        ++calls;
        if (refuses) {
            return false;
        }
        enabled = value;
        return true;
    }
};

} // namespace kestrove
