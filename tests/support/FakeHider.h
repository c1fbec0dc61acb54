#pragma once

#include "Platform/Hider.h"

#include <vector>

namespace kestrove {

// Keeps every hide request; the test answers them with finish().
class FakeHider final : public Hider
{
public:
    struct Call
    {
        Request request;
        Completion done;
    };
    std::vector<Call> calls;

    void hide(Request request, Completion done) override
    {
        calls.push_back({std::move(request), std::move(done)});
    }

    void finish(std::size_t index, Outcome outcome) { calls.at(index).done(outcome); }
};

} // namespace kestrove
