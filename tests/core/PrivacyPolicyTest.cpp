#include "core/PrivacyPolicy.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

ContextSample sample(std::optional<std::string> bundleID, std::string title, std::string url)
{
    ContextSample s;
    s.bundleID = std::move(bundleID);
    s.appName = "App";
    s.windowTitle = std::move(title);
    s.url = std::move(url);
    return s;
}

} // namespace

TEST(PrivacyPolicy, FiltersPrivateAppsFirstAndPrivateSitesOnlyInBrowsers)
{
    const PrivacyPolicy policy({"Com.Apple.Mail"}, {"Bank.example", ""}, false);
    const std::optional<std::string> hint = "kestrove";
    const StoredContext blank;
    struct Case
    {
        ContextSample sample;
        StoredContext expected;
    };
    const Case cases[] = {
        // A private application, even in a browser on a public site and in another case.
        {sample("COM.APPLE.MAIL", "Inbox", "https://github.com"), blank},
        {sample("org.mozilla.firefox", "Balance", "https://www.my.bank.example/acct"), blank},
        {sample("org.mozilla.firefox", "Kestrove", "https://github.com/k"),
         {"", "", "github.com", hint}},
        {sample("com.apple.TextEdit", "Statement", "https://my.bank.example/a"),
         {"Statement", "", "my.bank.example", hint}},
        {sample(std::nullopt, "Untitled", "not an address"), {"Untitled", "", "", hint}},
        // An empty private site never makes a domain ending in a dot private.
        {sample("org.mozilla.firefox", "T", "https://example.com./"),
         {"", "", "example.com.", hint}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(policy.stored(c.sample, hint), c.expected) << c.sample.url;
    }
    const PrivacyPolicy keepTitles({}, {}, true);
    EXPECT_EQ(keepTitles.stored(sample("com.google.Chrome", "Docs", "https://docs.google.com/d"),
                                std::nullopt),
              (StoredContext{"Docs", "", "docs.google.com", std::nullopt}));
}

TEST(PrivacyPolicy, TitleCutoff)
{
    const Date now = 1'800'000'000;
    const std::pair<std::optional<int>, std::optional<Date>> cases[] = {
        {std::nullopt, std::nullopt},
        {0, std::nullopt},
        {-3, std::nullopt},
        {30, now - 30 * 86400}};
    for (const auto& [days, cutoff] : cases) {
        EXPECT_EQ(PrivacyPolicy({}, {}, false, days).titleCutoff(now), cutoff);
    }
}

TEST(PrivacyPolicy, SafeBundleIDs)
{
    const std::pair<std::string, bool> cases[] = {
        {"com.example.my-app_2", true},
        {"org.kde.résumé", true},
        {"jp.アプリ.テスト", true},
        {"", false},
        {"com.example app", false},
        {"com.\"x\"", false},
        {"com\\x", false},
        {"com.x'y", false},
        {"com.x\ny", false},
        {"com.\xff", false},
    };
    for (const auto& [id, safe] : cases) {
        EXPECT_EQ(PrivacyPolicy::isSafeBundleID(id), safe) << id;
    }
}
