#include "Collectors/SystemIdle.h"

#include <cmath>

namespace kestrove {

double SystemIdle::secondsSinceInput()
{
    const auto input = secondsSinceLastInput();
    if (input && std::isfinite(*input) && *input >= 0.0 && *input < kImplausibleSeconds) {
        return *input;
    }
    return hidIdleSeconds().value_or(0.0);
}

} // namespace kestrove
