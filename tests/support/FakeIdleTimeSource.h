#pragma once

#include "Platform/IdleTimeSource.h"

namespace kestrove {

class FakeIdleTimeSource final : public IdleTimeSource
{
public:
    std::optional<double> seconds;
    std::optional<double> idleSeconds() override { return seconds; }
};

} // namespace kestrove
