#include "core/ContextClassifier.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

ContextSample sample(std::optional<std::string> bundleID, std::string appName = "App",
                     std::string url = "")
{
    ContextSample s;
    s.bundleID = std::move(bundleID);
    s.appName = std::move(appName);
    s.url = std::move(url);
    return s;
}

ContextSample withState(ContextSample s, bool idle, LockInState lockIn)
{
    s.isIdle = idle;
    s.lockIn = lockIn;
    return s;
}

} // namespace

// Each row: the sample, its kind and its explanation, in the order the rules apply.
TEST(ContextClassifier, ClassifiesAndExplainsEachBranch)
{
    const ContextClassifier classifier({{"Com.Microsoft", ContextKind::distraction},
                                        {"org.mozilla.firefox", ContextKind::deep},
                                        {"github.com/kestrove", ContextKind::distraction},
                                        {"", ContextKind::distraction}},
                                       "Com.Kestrove.App");
    const std::string firefox = "org.mozilla.firefox";
    const std::string chrome = "com.google.Chrome";
    struct Case
    {
        ContextSample sample;
        ContextKind kind;
        std::string explanation;
    };
    const Case cases[] = {
        {withState(sample("dev.zed.zed"), true, LockInState::away), ContextKind::deep,
         "Deep: away block, time counts even off the keyboard"},
        {withState(sample("dev.zed.zed"), true, LockInState::onTask), ContextKind::idle, "Idle"},
        {withState(sample("dev.zed.zed"), false, LockInState::onTask), ContextKind::deep,
         "Deep: on task in your lock-in"},
        {withState(sample("dev.zed.zed"), false, LockInState::offTask), ContextKind::distraction,
         "Distraction: not on your lock-in list"},
        {sample(std::nullopt), ContextKind::neutral, "Neutral: unknown app"},
        {sample("COM.KESTROVE.APP"), ContextKind::neutral, "Neutral: Kestrove itself never counts"},
        {sample(chrome), ContextKind::shallow,
         "Shallow: no page URL yet, browsers count as shallow until a site is known"},
        {sample(firefox, "Firefox", "about:blank"), ContextKind::deep,
         "Deep work: no page URL yet, browsers count as shallow until a site is known"},
        {sample(firefox, "Firefox", "https://github.com/kestrove/app"), ContextKind::distraction,
         "Distraction: you marked github.com/kestrove as distraction"},
        {sample(firefox, "Firefox", "https://github.com/other"), ContextKind::deep,
         "Deep work: github.com is a deep-work site"},
        {sample(chrome, "Chrome", "https://www.x.com/messages/"), ContextKind::shallow,
         "Shallow: x.com/messages is a shallow site"},
        {sample(chrome, "Chrome", "http://localhost:8080/"), ContextKind::shallow,
         "Shallow: localhost is unknown, sites count as shallow until you change them"},
        {sample(""), ContextKind::neutral, "Neutral: unknown app"},
        {sample("com.microsoft.VSCode", "Code"), ContextKind::distraction,
         "Distraction: you marked Code as distraction"},
        {sample("com.apple.dt.Instruments", "Instruments"), ContextKind::deep,
         "Deep work: Instruments is a deep-work app"},
        {sample("com.apple.tv.extended", "TV"), ContextKind::distraction,
         "Distraction: TV is a distraction app"},
        {sample("com.example.gamestudio", "Games"), ContextKind::deep,
         "Deep work: Games looks like a deep-work app"},
        {sample("com.example.musicplayer", "Music"), ContextKind::distraction,
         "Distraction: Music looks like a distraction app"},
        {sample("com.example.mail", "Post"), ContextKind::neutral,
         "Neutral: Post is unknown, apps count as neutral until you change them"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifier.classify(c.sample), c.kind) << c.explanation;
        EXPECT_EQ(classifier.explain(c.sample), c.explanation);
    }
}

TEST(ContextClassifier, OverridePrefixesAndSitesTieInSortedKeyOrder)
{
    const ContextClassifier classifier({{"com.vendor.suite", ContextKind::shallow},
                                        {"com.vendor", ContextKind::distraction},
                                        {"b.example.com", ContextKind::shallow},
                                        {"B.Example.com", ContextKind::deep}});
    EXPECT_EQ(classifier.classify(sample("com.vendor.suite.writer")), ContextKind::distraction);
    EXPECT_EQ(classifier.classify(sample("com.vendor.suite")), ContextKind::shallow); // exact key
    EXPECT_EQ(classifier.overrides().size(), 3u);
    EXPECT_EQ(classifier.siteDecision("a.b.example.com", "", "org.mozilla.firefox"),
              (ContextClassifier::SiteDecision{ContextKind::deep, "b.example.com", true}));
}

TEST(ContextClassifier, SiteDecisionUsesBrowserOverridesOnlyWithoutAPage)
{
    const ContextClassifier classifier({{"com.brave.browser", ContextKind::distraction}});
    using Decision = ContextClassifier::SiteDecision;
    EXPECT_EQ(classifier.siteDecision("", "", "com.brave.Browser"),
              (Decision{ContextKind::distraction, "com.brave.browser", true}));
    EXPECT_EQ(classifier.siteDecision("", "", std::nullopt), (Decision{}));
    EXPECT_FALSE(ContextClassifier::isBrowser("org.mozilla.thunderbird"));
    EXPECT_EQ(classifier.siteDecision("example.org", "", "com.brave.browser"), (Decision{}));
    EXPECT_EQ(classifier.siteDecision("youtube.com", "/upload/x", "com.brave.browser"),
              (Decision{ContextKind::deep, "youtube.com/upload", false}));
}

TEST(ContextClassifier, DefaultKindIgnoresOverrides)
{
    const std::tuple<std::optional<std::string>, std::string, ContextKind> cases[] = {
        {std::nullopt, "", ContextKind::neutral},
        {"org.mozilla.firefox", "unknown.example", ContextKind::shallow},
        {"org.mozilla.firefox", "localhost", ContextKind::deep},
        {"COM.ADOBE.PHOTOSHOP", "", ContextKind::deep},
        {"com.example.editor", "", ContextKind::deep},
        {"com.example.app", "", ContextKind::neutral},
    };
    for (const auto& [bundleID, domain, kind] : cases) {
        EXPECT_EQ(ContextClassifier::defaultKind(bundleID, domain), kind) << domain;
    }
}
