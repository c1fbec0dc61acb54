#pragma once

#include "core/ContextKind.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrove {

// An sRGB colour: 8-bit components and an opacity from 0 to 1. The opacity belongs to the
// colour itself; it is never pre-mixed into the components.
struct Rgba
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    double alpha = 1.0;

    friend constexpr bool operator==(const Rgba&, const Rgba&) = default;
};

constexpr Rgba rgb(std::uint32_t hex, double alpha = 1.0)
{
    return {static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8),
            static_cast<std::uint8_t>(hex), alpha};
}

// The design system's named colours, in the values the widgets draw with (Views/Theme wraps
// them as QColor). One dark look: nothing here follows the desktop's theme.
namespace Palette {

inline constexpr Rgba ink = rgb(0x0B0C10);
inline constexpr Rgba surface = rgb(0x14161F);
inline constexpr Rgba surface2 = rgb(0x1B1E29);
inline constexpr Rgba border = rgb(0xFFFFFF, 0.07);
inline constexpr Rgba borderSoft = rgb(0xFFFFFF, 0.04);
inline constexpr Rgba text = rgb(0xEEF0F6);
inline constexpr Rgba textSecondary = rgb(0xEEF0F6, 0.62);
inline constexpr Rgba textTertiary = rgb(0xEEF0F6, 0.38);
inline constexpr Rgba deep = rgb(0x8A7CFF);
inline constexpr Rgba deepDark = rgb(0x5E63F0);
inline constexpr Rgba deepLight = rgb(0xB3A8FF);
inline constexpr Rgba shallow = rgb(0xD9BD86);
inline constexpr Rgba distraction = rgb(0xFF7A90);
inline constexpr Rgba neutral = rgb(0xEEF0F6, 0.28);
inline constexpr Rgba idle = rgb(0x1B1D26);
inline constexpr Rgba success = rgb(0x6EE7B7);
inline constexpr Rgba unassignedColor = rgb(0xEEF0F6, 0.22);

// The track under progress bars and rings.
inline constexpr Rgba track = rgb(0xFFFFFF, 0.06);
// What a project colour key outside the vocabulary shows.
inline constexpr Rgba projectFallback = rgb(0x6C7285);

// The colour of a project colour key. The key must equal one of the eight keys exactly (case
// and spaces count); anything else, and no key at all, gives the fallback.
Rgba projectColor(std::optional<std::string_view> key);

Rgba kindColor(ContextKind kind);

} // namespace Palette

} // namespace kestrove
