#include "core/DomainRules.h"
#include "core/ContextClassifier.h"
#include "core/Segment.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace kestrove;

TEST(DomainRules, NormalisesAddresses)
{
    struct Case
    {
        std::string address, domain, path;
    };
    const Case cases[] = {
        {"  https://WWW.GitHub.com/Kestrove/App/  \n", "github.com", "/kestrove/app"},
        {"http://www.www.example.com", "www.example.com", ""}, // "www." goes once
        {"https://example.com///", "example.com", ""},
        {"https://user:pw@Docs.Google.com:443/a?q=1#f", "docs.google.com", "/a"},
        {"https://example.com/caf%C3%A9%20Menu/%2F", "example.com", "/café menu"},
        {"HTTPS://example.com/x", "example.com", "/x"},
        {"ftp://example.com/pub/", "", "/pub"},
        {"file:///home/me/notes.txt", "", "/home/me/notes.txt"},
        {"file://server/share", "server", "/share"},
        {"github.com/kestrove", "", "github.com/kestrove"},
        {"localhost:3000/app", "", "3000/app"},
        {"http://[::1]:8080/x", "::1", "/x"},
        {"https://bücher.de/Ä", "bücher.de", "/ä"},
        {"https://example.com/a b", "", ""},            // spaces inside do not parse
        {"https://example.com/100%", "", ""},           // a lone percent does not parse
        {"https://example.com/%FF", "example.com", ""}, // decodes to no text
        {"https://example.com:8x/", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DomainRules::domain(c.address), c.domain) << c.address;
        EXPECT_EQ(DomainRules::path(c.address), c.path) << c.address;
    }
    ContextSample sample;
    sample.url = "https://www.YouTube.com/Upload/";
    EXPECT_EQ(sample.domain(), "youtube.com");
    EXPECT_EQ(sample.path(), "/upload");
}

// Patterns are in lookup form, and each host row comes before the path rows under it.
TEST(DomainRules, DefaultRowsAreUniqueLowerCaseAndPathRowsFollowTheirHosts)
{
    std::set<std::string_view> seen;
    std::set<std::string_view> pathHosts;
    for (const SiteRule& row : DomainRules::defaults) {
        EXPECT_TRUE(seen.insert(row.suffix).second) << row.suffix;
        EXPECT_EQ(Text::lowercased(row.suffix), row.suffix);
        EXPECT_FALSE(Text::startsWith(row.suffix, "www."));
        EXPECT_FALSE(pathHosts.contains(row.suffix)) << "host row after its path row";
        if (const auto slash = row.suffix.find('/'); slash != std::string_view::npos) {
            pathHosts.insert(row.suffix.substr(0, slash));
        }
    }
}

TEST(DomainRules, DefaultKindLooksAtHostsOnly)
{
    const std::pair<std::string, std::optional<ContextKind>> cases[] = {
        {"localhost", ContextKind::deep},       // no dot test here
        {"substack.com", ContextKind::deep},    // only its editor path is listed
        {"linkedin.com", ContextKind::shallow}, // host row before the feed path
        {"youtube.com", ContextKind::distraction},
        {"studio.youtube.com", ContextKind::deep}, // the longer host wins
        {"console.aws.amazon.com", ContextKind::deep},
        {"smile.amazon.com", ContextKind::shallow},
        {"GitHub.COM", ContextKind::deep},
        {"max.com", std::nullopt}, // ends with "x.com" but is no subdomain
        {"unknown.example", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [domain, kind] : cases) {
        EXPECT_EQ(DomainRules::defaultKind(domain), kind) << domain;
    }
}

TEST(DomainRules, ScoredSiteMatch)
{
    const auto match = [](const std::string& address) {
        return ContextClassifier::bestSiteMatch(DomainRules::domain(address),
                                                DomainRules::path(address), DomainRules::defaults);
    };
    const std::pair<std::string, std::optional<SiteRule>> cases[] = {
        {"https://x.com/compose/post", SiteRule{"x.com/compose", ContextKind::deep}},
        {"https://twitter.com/messages/1-2",
         SiteRule{"twitter.com/messages", ContextKind::shallow}},
        {"https://x.com/composer", SiteRule{"x.com", ContextKind::distraction}},
        {"https://www.linkedin.com/feed/", SiteRule{"linkedin.com/feed", ContextKind::distraction}},
        {"https://me.substack.com/publish/post/1",
         SiteRule{"substack.com/publish", ContextKind::deep}},
        {"https://me.substack.com/p/hello", std::nullopt},
        {"http://localhost:3000/", std::nullopt}, // dotless row never matches here
        {"http://127.0.0.1:8000/", SiteRule{"127.0.0.1", ContextKind::deep}},
        {"https://studio.youtube.com/", SiteRule{"studio.youtube.com", ContextKind::deep}},
        {"https://example.org/", std::nullopt},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(match(address), expected) << address;
    }
}

TEST(DomainRules, SiteMatchRespectsLabelsAndKeepsEarlierTies)
{
    const SiteRule labels[] = {{"b.cd.ef", ContextKind::deep}, {"cd.ef", ContextKind::shallow}};
    EXPECT_EQ(ContextClassifier::bestSiteMatch("ab.cd.ef", "", labels)->kind, ContextKind::shallow);
    EXPECT_EQ(ContextClassifier::bestSiteMatch("a.b.cd.ef", "", labels)->kind, ContextKind::deep);

    const SiteRule ties[] = {{"Same.Org/", ContextKind::deep}, {"same.org", ContextKind::shallow}};
    const auto tie = ContextClassifier::bestSiteMatch("same.org", "/x", ties);
    ASSERT_TRUE(tie);
    EXPECT_EQ(tie->suffix, "Same.Org/"); // as given, and the earlier of two equal scores

    // Patterns that must never match: a kept "www.", and an empty host before a path.
    const SiteRule never[] = {{"www.same.org", ContextKind::deep},
                              {"/same.org", ContextKind::deep}};
    EXPECT_FALSE(ContextClassifier::bestSiteMatch("same.org", "", never));
    EXPECT_FALSE(ContextClassifier::bestSiteMatch("x.same.org.", "/same.org", never));
    EXPECT_FALSE(ContextClassifier::bestSiteMatch("same.org", "", std::span<const SiteRule>{}));
}

// Random and malformed addresses: never a crash, always lower case, never a leading "www."
// unless the host repeated it.
TEST(DomainRules, SurvivesArbitraryInput)
{
    std::mt19937 random(20261207);
    // clang-format off
    const std::string pieces[] = {"https://", "HTTP://", "file://", "www.", "WWW.", "%", "%4",
        "%C3%A9", "%ff", "/", "//", ":", "@", "[", "]", "?", "#", ".", "Ä", "\xC3", "\xFF\xFE",
        "\xE2\x80", " ", "\t", "\n", "a", "Example", "com", "8080", "\x01", std::string(1, '\0')};
    // clang-format on
    for (int round = 0; round < 20000; ++round) {
        std::string address;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            address += pieces[random() % std::size(pieces)];
        }
        const std::string domain = DomainRules::domain(address);
        const std::string path = DomainRules::path(address);
        const DomainRules::Page page = DomainRules::page(address);
        EXPECT_EQ(page.domain, domain) << address;
        EXPECT_EQ(page.path, path) << address;
        EXPECT_EQ(Text::lowercased(domain), domain) << address;
        EXPECT_EQ(Text::lowercased(path), path) << address;
        if (Text::startsWith(domain, "www.")) {
            EXPECT_NE(Text::lowercased(address).find("www.www."), std::string::npos) << address;
        }
    }
    const std::string longAddress =
        "https://www." + std::string(1 << 20, 'a') + ".com/" + std::string(1 << 20, 'B') + "/";
    EXPECT_EQ(DomainRules::domain(longAddress).size(), (1u << 20) + 4);
    EXPECT_EQ(DomainRules::path(longAddress).size(), (1u << 20) + 1);
}
