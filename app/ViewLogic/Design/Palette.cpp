#include "ViewLogic/Design/Palette.h"

#include <array>
#include <utility>

namespace kestrove::Palette {

namespace {

constexpr std::array<std::pair<std::string_view, Rgba>, 8> projectColors = {{
    {"violet", rgb(0x9C8CFF)},
    {"blue", rgb(0x5AA9FF)},
    {"teal", rgb(0x3FD1C4)},
    {"green", rgb(0x7BD88F)},
    {"amber", rgb(0xF2B84B)},
    {"coral", rgb(0xFF8A65)},
    {"pink", rgb(0xF08BD1)},
    {"slate", rgb(0x9AA4B8)},
}};

} // namespace

Rgba projectColor(std::optional<std::string_view> key)
{
    if (!key) {
        return projectFallback;
    }
    for (const auto& [name, colour] : projectColors) {
        if (*key == name) {
            return colour;
        }
    }
    return projectFallback;
}

Rgba kindColor(ContextKind kind)
{
    switch (kind) {
    case ContextKind::deep:
        return deep;
    case ContextKind::shallow:
        return shallow;
    case ContextKind::distraction:
        return distraction;
    case ContextKind::neutral:
        return neutral;
    case ContextKind::idle:
        return idle;
    }
    return neutral;
}

} // namespace kestrove::Palette
