#include "ViewLogic/Focus/AppPickerModel.h"

#include <gtest/gtest.h>

namespace kestrove {
namespace {

const std::vector<InstalledApp> kApps = {
    {"org.gnome.nautilus", "Files", ""},
    {"org.mozilla.firefox", "Firefox ESR", ""},
    {"org.example.noname", "", ""},
    {"com.example.Mixed", "Text Editor", ""},
};

std::vector<std::string> ids(const std::vector<InstalledApp>& apps)
{
    std::vector<std::string> result;
    for (const auto& app : apps) {
        result.push_back(app.bundleID);
    }
    return result;
}

TEST(AppPickerModelTest, SearchMatchesNamesAndIdentifiersInAnyCase)
{
    const struct
    {
        const char* search;
        std::vector<std::string> listed;
    } cases[] = {
        {"", ids(kApps)},
        {"FI", {"org.gnome.nautilus", "org.mozilla.firefox"}},
        {"gnome", {"org.gnome.nautilus"}},
        {" ", {"org.mozilla.firefox", "com.example.Mixed"}}, // not trimmed: names with a space
        {"mixed", {"com.example.Mixed"}},
        {"noname", {"org.example.noname"}},
        {"zzz", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(AppPickerModel::filtered(kApps, c.search)), c.listed) << c.search;
    }
}

TEST(AppPickerModelTest, TogglingWritesLowerCaseAndTreatsEveryCaseAsOne)
{
    AppSelection selection{"Com.Example.Mixed", "org.removed.app"};
    EXPECT_TRUE(AppPickerModel::isChosen(selection, "com.example.Mixed"));
    EXPECT_FALSE(AppPickerModel::isChosen(selection, "org.gnome.nautilus"));
    EXPECT_EQ(AppPickerModel::countText(selection), "2 selected");

    AppPickerModel::toggle(selection, "org.gnome.Nautilus");
    EXPECT_EQ(selection,
              (AppSelection{"Com.Example.Mixed", "org.gnome.nautilus", "org.removed.app"}));
    // A stored capitalised identifier shows chosen, so a tap takes it out rather than adding it.
    AppPickerModel::toggle(selection, "com.example.Mixed");
    EXPECT_EQ(selection, (AppSelection{"org.gnome.nautilus", "org.removed.app"}));
    AppPickerModel::toggle(selection, "com.example.Mixed");
    AppPickerModel::toggle(selection, "org.gnome.nautilus");
    EXPECT_EQ(selection, (AppSelection{"com.example.mixed", "org.removed.app"}));
    EXPECT_EQ(AppPickerModel::countText(selection), "2 selected");
    EXPECT_EQ(AppPickerModel::countText({}), "0 selected");
}

} // namespace
} // namespace kestrove
