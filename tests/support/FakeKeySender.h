#pragma once

#include "Platform/KeySender.h"

namespace kestrove {

// Counts the pastes asked for; `works` false stands for a display that takes no synthetic keys.
class FakeKeySender final : public KeySender
{
public:
    bool sendPaste() override
    {
        ++pastes;
        return works;
    }

    bool works = true;
    int pastes = 0;
};

} // namespace kestrove
