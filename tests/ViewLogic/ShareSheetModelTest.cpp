#include "ViewLogic/Share/ShareSheetModel.h"

#include "core/Calendar.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

// The query value as a browser decodes it: %XX back to bytes, nothing else special.
std::string decodedQueryValue(const std::string& address)
{
    const std::string query = address.substr(address.find("?text=") + 6);
    std::string text;
    for (std::size_t i = 0; i < query.size(); ++i) {
        if (query[i] == '%') {
            text.push_back(static_cast<char>(std::stoi(query.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            EXPECT_NE(query[i], '+') << "a plus would decode as a space";
            text.push_back(query[i]);
        }
    }
    return text;
}

} // namespace

TEST(ShareSheetModelTest, TitlesAndFileNames)
{
    const ScopedTimeZone zone("Europe/Berlin");
    const Date now = Calendar::date(2026, 3, 4, 23, 30);
    const Date past = Calendar::date(2026, 3, 2, 10);
    EXPECT_EQ(ShareSheetModel::title(SharePeriod::day(now - 3600), now, "en_US"), "Today's card");
    EXPECT_EQ(ShareSheetModel::title(SharePeriod::day(past), now, "en_US"), "Monday, Mar 2 card");
    EXPECT_EQ(ShareSheetModel::title(SharePeriod::week(past, past + 7 * 86400), now, "en_US"),
              "This week's card");
    // Dated by the day of saving, not the day shared.
    EXPECT_EQ(ShareSheetModel::proposedFileName(SharePeriod::day(past), now),
              "kestrove-2026-03-04.png");
    EXPECT_EQ(ShareSheetModel::proposedFileName(SharePeriod::week(past, past + 7 * 86400), now),
              "kestrove-week-2026-03-04.png");
    EXPECT_EQ(ShareSheetModel::exportFileName(false), "kestrove-today.png");
    EXPECT_EQ(ShareSheetModel::exportFileName(true), "kestrove-week.png");
}

TEST(ShareSheetModelTest, ThePostAddressCarriesTheTextExactly)
{
    const std::vector<std::string> texts = {
        "2h of deep work today.\n\nTracked with Kestrove for Linux.",
        "C++ & Rust = 100% + more #focus?",
        "a+b",
        "50%25",
        "Grüße · “quotes” — 🐦",
        ""};
    for (const std::string& text : texts) {
        const std::string address = ShareSheetModel::postAddress(text);
        EXPECT_TRUE(address.starts_with("https://x.com/intent/post?text=")) << address;
        EXPECT_EQ(address.find_first_of(" \n&#+", 8), std::string::npos) << address;
        EXPECT_EQ(decodedQueryValue(address), text);
    }
}

TEST(ShareSheetStateTest, OnlyTheNewestBuildIsShown)
{
    ShareSheetState state;
    const auto first = state.beginBuild();
    const auto second = state.beginBuild();
    ShareCard newer;
    newer.postText = "with handle";
    ShareCard older;
    older.postText = "without";
    EXPECT_TRUE(state.finishBuild(second, newer));
    // The older build ends last; it must not replace the newer card.
    EXPECT_FALSE(state.finishBuild(first, older));
    ASSERT_TRUE(state.card());
    EXPECT_EQ(state.card()->postText, "with handle");
}
