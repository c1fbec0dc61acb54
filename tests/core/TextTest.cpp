#include "core/Text.h"
#include "core/JsonCoding.h"
#include "core/NumberFormat.h"
#include "core/Uuid.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace kestrove;

TEST(Text, TrimmingKeepsLineBreaksApartFromSpacesAndTabs)
{
    EXPECT_EQ(Text::trimmed(" \t\n x y \u00a0\r\n"), "x y");
    EXPECT_EQ(Text::trimmed("\u2003Zoë\u2028"), "Zoë");
    EXPECT_EQ(Text::trimmedSpacesAndTabs(" \tx\n "), "x\n");
    EXPECT_TRUE(Text::isBlank(" \n\t"));
    EXPECT_FALSE(Text::isBlank(" . "));
    EXPECT_EQ(Text::trimmed("\xff x \xfe"), "\xff x \xfe"); // invalid bytes are not trimmed
}

TEST(Text, CaseIsUnicodeAware)
{
    EXPECT_EQ(Text::lowercased("Com.Apple.SAFARI"), "com.apple.safari");
    EXPECT_EQ(Text::lowercased("ÄRGER Σ"), "ärger σ");
    EXPECT_TRUE(Text::equalsIgnoringCase("Straße", "STRASSE"));
    EXPECT_TRUE(Text::containsIgnoringCase("Kestrove — ÉTÉ plans", "été"));
    EXPECT_EQ(Text::characterCount("añb€"), 4u);
    EXPECT_EQ(Text::prefixCharacters("añb€", 2), "añ");
}

TEST(Text, IllFormedUTF8BecomesReplacementCharactersAndLengthIsCutOnACharacter)
{
    const std::string fffd = "\uFFFD";
    struct Case
    {
        std::string input;
        std::size_t maxCharacters;
        std::string expected;
    };
    const Case cases[] = {
        {"Zoë — 日本 🙂", SIZE_MAX, "Zoë — 日本 🙂"},
        {"a\xFF\xFE"
         "b",
         SIZE_MAX, "a" + fffd + fffd + "b"},
        {"\xC3\x28", SIZE_MAX, fffd + "("},
        // An encoded surrogate and an overlong slash: each byte of them is ill-formed.
        {"x\xED\xA0\x80y", SIZE_MAX, "x" + fffd + fffd + fffd + "y"},
        {"\xC0\xAF", SIZE_MAX, fffd + fffd},
        // A sequence cut short is one maximal part: one replacement.
        {"ab\xE2\x82", SIZE_MAX, "ab" + fffd},
        {"\xF0\x9F\x99", SIZE_MAX, fffd},
        {"", 3, ""},
        {"añ€🙂z", 4, "añ€🙂"},
        {"añ€🙂z", 0, ""},
        {"\xFF\xFF\xFF"
         "abc",
         4, fffd + fffd + fffd + "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text::validUTF8(c.input, c.maxCharacters), c.expected) << c.input;
    }
}

TEST(NumberFormat, NeverFollowsTheProcessLocale)
{
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string previous = old ? old : "C";
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(NumberFormat::fixed(1.25, 1), "1.2");
    EXPECT_EQ(NumberFormat::fixed(9.9997, 1), "10.0");
    EXPECT_EQ(NumberFormat::integer(1234567), "1234567");
    EXPECT_EQ(NumberFormat::padded(5, 2), "05");
    EXPECT_EQ(NumberFormat::shortest(0.1), "0.1");
    std::setlocale(LC_NUMERIC, previous.c_str());
    if (!german) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed; checked under the C locale only";
    }
}

TEST(JsonCoding, DatesCountFrom2001AndTypesAreStrict)
{
    using JsonCoding::Json;
    Json object = {{"at", 0.0}, {"n", 2.5}, {"s", "x"}, {"whole", 3.0}};
    EXPECT_EQ(JsonCoding::requireDate(object, "at"), kReferenceDateOffset);
    EXPECT_EQ(JsonCoding::encodeDate(kReferenceDateOffset + 60), 60);
    EXPECT_EQ(JsonCoding::requireInteger(object, "whole"), 3);
    EXPECT_THROW(JsonCoding::requireInteger(object, "n"), JsonCoding::DecodeError);
    EXPECT_THROW(JsonCoding::requireString(object, "n"), JsonCoding::DecodeError);
    EXPECT_THROW(JsonCoding::requireString(object, "missing"), JsonCoding::DecodeError);
    EXPECT_EQ(JsonCoding::optionalString(object, "missing"), std::nullopt);
    EXPECT_THROW(JsonCoding::parse("{"), JsonCoding::DecodeError);

    Json out = Json::object();
    JsonCoding::putOptional(out, "absent", std::optional<std::string>());
    JsonCoding::putOptional(out, "empty", std::optional<std::string>(""));
    EXPECT_EQ(out.dump(), R"({"empty":""})");
}

TEST(Uuid, GeneratedIdsAreUpperCaseVersionFour)
{
    const std::string a = Uuid::generate();
    EXPECT_TRUE(Uuid::isValid(a));
    EXPECT_EQ(a, Uuid::normalized(a));
    EXPECT_EQ(a[14], '4');
    EXPECT_NE(a, Uuid::generate());
    EXPECT_EQ(Uuid::normalized("0d3a5f0e-1b2c-4d5e-8f90-a1b2c3d4e5f6"),
              "0D3A5F0E-1B2C-4D5E-8F90-A1B2C3D4E5F6");
    EXPECT_EQ(Uuid::normalized("0d3a5f0e1b2c-4d5e-8f90-a1b2c3d4e5f6-"), "");
}
