#include "ViewLogic/Design/Palette.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrove {
namespace {

TEST(PaletteTest, ProjectColorMatchesKeysExactly)
{
    struct Case
    {
        std::optional<std::string> key;
        Rgba expected;
    };
    const Case cases[] = {
        {"violet", rgb(0x9C8CFF)},     {"blue", rgb(0x5AA9FF)},    {"teal", rgb(0x3FD1C4)},
        {"green", rgb(0x7BD88F)},      {"amber", rgb(0xF2B84B)},   {"coral", rgb(0xFF8A65)},
        {"pink", rgb(0xF08BD1)},       {"slate", rgb(0x9AA4B8)},   {std::nullopt, rgb(0x6C7285)},
        {"", rgb(0x6C7285)},           {"Violet", rgb(0x6C7285)},  {"VIOLET", rgb(0x6C7285)},
        {" violet", rgb(0x6C7285)},    {"violet ", rgb(0x6C7285)}, {"purple", rgb(0x6C7285)},
        {"violetblue", rgb(0x6C7285)},
    };
    for (const Case& c : cases) {
        const auto key = c.key ? std::optional<std::string_view>(*c.key) : std::nullopt;
        const Rgba colour = Palette::projectColor(key);
        EXPECT_EQ(colour, c.expected) << (c.key ? "'" + *c.key + "'" : std::string("no key"));
        EXPECT_EQ(colour.alpha, 1.0);
    }
}

TEST(PaletteTest, TranslucentColoursKeepTheirComponents)
{
    // Opacity is carried beside the colour, not mixed into it over some background.
    EXPECT_EQ(Palette::text, rgb(0xEEF0F6));
    EXPECT_EQ(Palette::textSecondary, rgb(0xEEF0F6, 0.62));
    EXPECT_EQ(Palette::textTertiary, rgb(0xEEF0F6, 0.38));
    EXPECT_EQ(Palette::neutral, rgb(0xEEF0F6, 0.28));
    EXPECT_EQ(Palette::unassignedColor, rgb(0xEEF0F6, 0.22));
    EXPECT_EQ(Palette::border, rgb(0xFFFFFF, 0.07));
    EXPECT_EQ(Palette::borderSoft, rgb(0xFFFFFF, 0.04));
    // The unassigned dot is its own colour, not the unknown-key fallback.
    EXPECT_NE(Palette::unassignedColor, Palette::projectColor(std::nullopt));
}

TEST(PaletteTest, EachKindHasItsNamedColour)
{
    EXPECT_EQ(Palette::kindColor(ContextKind::deep), rgb(0x8A7CFF));
    EXPECT_EQ(Palette::kindColor(ContextKind::shallow), rgb(0xD9BD86));
    EXPECT_EQ(Palette::kindColor(ContextKind::distraction), rgb(0xFF7A90));
    EXPECT_EQ(Palette::kindColor(ContextKind::neutral), rgb(0xEEF0F6, 0.28));
    EXPECT_EQ(Palette::kindColor(ContextKind::idle), rgb(0x1B1D26));
}

} // namespace
} // namespace kestrove
