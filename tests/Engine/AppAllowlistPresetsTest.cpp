#include "Engine/AppAllowlistPresets.h"

#include "support/RecordingPreferences.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrove;

namespace {

using List = std::vector<std::string>;

List sorted(List list)
{
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

TEST(AppAllowlistPresets, LastUsedFallsBackToTheOlderKeyOnlyWhenTheNewerIsAbsent)
{
    const std::tuple<std::optional<List>, std::optional<List>, List> rows[] = {
        {std::nullopt, std::nullopt, {}},
        {std::nullopt, List{"Com.B", "com.a"}, {"com.a", "com.b"}},
        {List{"org.X"}, List{"com.a"}, {"org.x"}},
        {List{}, List{"com.a"}, {}},
    };
    for (const auto& [newer, older, expected] : rows) {
        RecordingPreferences prefs;
        if (newer) {
            prefs.setStringArray(AppAllowlistPresets::kLastUsedKey, *newer);
        }
        if (older) {
            prefs.setStringArray(AppAllowlistPresets::kOlderLastUsedKey, *older);
        }
        prefs.setInteger(AppAllowlistPresets::kAlwaysAllowedKey, 3); // not a list: absent
        prefs.forgetWrites();
        AppAllowlistPresets presets(prefs);
        EXPECT_EQ(presets.lastUsed(), expected);
        EXPECT_TRUE(presets.alwaysAllowed().empty());
        EXPECT_EQ(prefs.totalWrites(), 0); // loading writes nothing
    }
}

TEST(AppAllowlistPresets, RememberLastUsedWritesOnlyARealChange)
{
    RecordingPreferences prefs;
    prefs.setStringArray(AppAllowlistPresets::kOlderLastUsedKey, {"Com.B", "com.a"});
    AppAllowlistPresets presets(prefs);
    int told = 0;
    const auto subscription = presets.observers().subscribe([&] { ++told; });

    presets.rememberLastUsed({});
    presets.rememberLastUsed({"COM.A", "com.b"}); // same applications, other order and case
    EXPECT_FALSE(prefs.contains(AppAllowlistPresets::kLastUsedKey));
    EXPECT_EQ(told, 0);

    presets.rememberLastUsed({"org.Z", "com.a"});
    EXPECT_EQ(presets.lastUsed(), (List{"com.a", "org.z"}));
    EXPECT_EQ(prefs.stringArray(AppAllowlistPresets::kLastUsedKey), presets.lastUsed());
    EXPECT_EQ(told, 1);
    presets.rememberLastUsed({});
    EXPECT_EQ(presets.lastUsed(), (List{"com.a", "org.z"}));
}

TEST(AppAllowlistPresets, AlwaysAllowedIsWrittenEvenWhenEmptyOrUnchanged)
{
    RecordingPreferences prefs;
    AppAllowlistPresets presets(prefs);
    int told = 0;
    const auto subscription = presets.observers().subscribe([&] { ++told; });

    presets.setAlwaysAllowed({"Com.X", "com.x", "a.b"});
    EXPECT_EQ(presets.alwaysAllowed(), (List{"a.b", "com.x", "com.x"}));
    presets.removeAlwaysAllowed("COM.X");
    EXPECT_EQ(presets.alwaysAllowed(), List{"a.b"});
    presets.removeAlwaysAllowed("not.there");
    presets.setAlwaysAllowed({});
    EXPECT_EQ(prefs.writes(AppAllowlistPresets::kAlwaysAllowedKey), 4);
    EXPECT_EQ(told, 3); // the removal of an absent entry changed nothing

    EXPECT_EQ(AppAllowlistPresets(prefs).alwaysAllowed(), List{});
}

TEST(AppAllowlistPresets, MergedIsTheUnionWithoutDuplicates)
{
    RecordingPreferences prefs;
    AppAllowlistPresets presets(prefs);
    EXPECT_EQ(sorted(presets.merged({"Com.A", "com.a", "b.c"})), (List{"b.c", "com.a"}));
    presets.setAlwaysAllowed({"com.a", "z.z"});
    EXPECT_EQ(sorted(presets.merged({"COM.A"})), (List{"com.a", "z.z"}));
    EXPECT_EQ(presets.alwaysAllowed(), (List{"com.a", "z.z"}));
}
