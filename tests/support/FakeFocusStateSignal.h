#pragma once

#include <vector>

#include "Intents/FocusStateMonitor.h"

namespace kestrove {

// Keeps every event sent, in order.
class FakeFocusStateSignal final : public FocusStateSignal
{
public:
    std::vector<Entries> sent;

    void send(const Entries& entries) override { sent.push_back(entries); }
};

} // namespace kestrove
