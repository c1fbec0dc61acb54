#include "ViewLogic/Share/ComposerPaste.h"

#include "support/FakeBrowserScripting.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeKeySender.h"
#include "support/FakeScheduler.h"
#include "support/FakeWorkspace.h"
#include "support/LogCapture.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

const std::string kComposer = "https://x.com/intent/post?text=hello";
const std::string kTimeoutLine = "X composer not seen within 15 s; the card stays on the clipboard";
const std::string kPastedLine = "pasted the share card into the X composer";

class ComposerPasteTest : public ::testing::Test
{
protected:
    ComposerPasteTest()
    {
        clipboard.setImage("card");
        show("com.google.chrome", kComposer);
    }

    void show(const std::string& bundleID, std::optional<std::string> tab)
    {
        workspace.frontmost = FrontmostApplication{bundleID, bundleID, 42, 7};
        tabs[bundleID] = std::move(tab);
    }

    void start()
    {
        started = clock.now();
        paste.attachClipboardImage(clipboard.changeCount(), [this](ComposerPaste::Outcome o) {
            outcome = o;
            endedAfter = clock.now() - started;
        });
    }

    // Time passes in steps of 0.1 s; each browser answers at once with its tab's address.
    void advance(double seconds, const std::function<void(double)>& along = {})
    {
        for (double done = 0; done < seconds - 1e-9; done += 0.1) {
            scheduler.advance(0.1);
            while (!scripting.requests.empty() || mainQueue.drain() > 0) {
                while (!scripting.requests.empty()) {
                    const std::string asked = scripting.requests.front().bundleID;
                    scripting.answer(tabs.count(asked) ? tabs[asked] : std::nullopt);
                }
            }
            if (along) {
                along(clock.now() - started);
            }
        }
    }

    LogCapture log;
    FakeClock clock;
    FakeScheduler scheduler{clock};
    ManualMainQueue mainQueue;
    FakeClipboard clipboard;
    FakeWorkspace workspace;
    FakeBrowserScripting scripting;
    FakeKeySender keys;
    std::map<std::string, std::optional<std::string>> tabs;
    ComposerPaste paste{{clipboard, workspace, scripting, keys, scheduler, clock, mainQueue}};
    std::optional<ComposerPaste::Outcome> outcome;
    Date started = 0;
    double endedAfter = -1;
};

} // namespace

TEST_F(ComposerPasteTest, PastesOnceTheComposerWasSeenTwiceASecondApart)
{
    start();
    advance(1.4);
    EXPECT_EQ(keys.pastes, 0) << "no keys before the second look";
    advance(0.3);
    EXPECT_EQ(outcome, ComposerPaste::Outcome::pasted);
    EXPECT_EQ(keys.pastes, 1);
    EXPECT_NEAR(endedAfter, 1.5, 0.11);
    EXPECT_EQ(log.count(kPastedLine), 1);
    EXPECT_EQ(paste.runningCount(), 0u);
}

TEST_F(ComposerPasteTest, AnotherCopyStopsTheRunSilently)
{
    start();
    advance(0.8); // the first look saw the composer; the run waits for the second
    clipboard.copyElsewhere();
    advance(2);
    EXPECT_EQ(outcome, ComposerPaste::Outcome::clipboardChanged);
    EXPECT_EQ(keys.pastes, 0);
    EXPECT_EQ(log.size(), 0u);
}

TEST_F(ComposerPasteTest, WhatIsInFrontDecidesWhetherThePasteHappens)
{
    struct Case
    {
        std::string name;
        std::string bundleID;
        std::optional<std::string> tab;
        bool pasted;
    };
    const std::vector<Case> cases = {
        {"a listed browser in capitals", "Com.Google.Chrome", kComposer, true},
        {"the Linux build of a browser", "org.mozilla.firefox", "https://mobile.x.com/compose/post",
         true},
        {"the host in capitals", "com.brave.browser", "https://WWW.X.COM/intent/post", true},
        {"another page of the site", "com.google.chrome", "https://x.com/home", false},
        {"another site's intent page", "com.google.chrome", "https://example.com/intent/post",
         false},
        {"a browser that does not answer", "com.google.chrome", std::nullopt, false},
        {"not a browser", "org.gnome.evolution", kComposer, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture lines;
        keys.pastes = 0;
        outcome.reset();
        show(c.bundleID, c.tab);
        start();
        advance(16);
        EXPECT_EQ(outcome,
                  c.pasted ? ComposerPaste::Outcome::pasted : ComposerPaste::Outcome::timedOut);
        EXPECT_EQ(keys.pastes, c.pasted ? 1 : 0);
        EXPECT_EQ(lines.count(kTimeoutLine), c.pasted ? 0 : 1);
        if (!c.pasted) {
            // The deadline is looked at between passes: the run ends on the first after 15 s.
            EXPECT_GE(endedAfter, 15.0);
            EXPECT_LT(endedAfter, 15.6);
        }
    }
}

TEST_F(ComposerPasteTest, ASwitchOfBrowserDuringThePauseWaitsForTheNextPass)
{
    show("org.mozilla.firefox", kComposer);
    tabs["com.google.chrome"] = kComposer;
    start();
    advance(0.6);
    // Firefox was seen on the composer; Chrome comes to the front during the pause.
    show("com.google.chrome", kComposer);
    advance(1.0);
    EXPECT_EQ(keys.pastes, 0);
    advance(2.0);
    EXPECT_EQ(outcome, ComposerPaste::Outcome::pasted);
    EXPECT_GT(endedAfter, 2.5);
}

TEST_F(ComposerPasteTest, KeysThatCannotBeSentAreNotLoggedAsAPaste)
{
    keys.works = false;
    start();
    advance(2);
    EXPECT_EQ(outcome, ComposerPaste::Outcome::keysNotSent);
    EXPECT_EQ(log.count(kPastedLine), 0);
    EXPECT_EQ(log.count("could not send Ctrl+V"), 1);
}

TEST_F(ComposerPasteTest, ASecondPostEndsTheFirstRunAndOnlyItPastes)
{
    show("com.google.chrome", "https://x.com/home");
    start();
    advance(3);
    std::vector<ComposerPaste::Outcome> outcomes;
    clipboard.setImage("second card");
    paste.attachClipboardImage(clipboard.changeCount(),
                               [&](ComposerPaste::Outcome o) { outcomes.push_back(o); });
    EXPECT_EQ(paste.runningCount(), 2u);
    tabs["com.google.chrome"] = kComposer;
    advance(3);
    EXPECT_EQ(outcome, ComposerPaste::Outcome::clipboardChanged);
    EXPECT_EQ(outcomes, std::vector{ComposerPaste::Outcome::pasted});
    EXPECT_EQ(keys.pastes, 1);
}

TEST(ComposerAddressTest, OnlyTheSitesComposerPathsCount)
{
    const std::vector<std::pair<std::optional<std::string>, bool>> cases = {
        {"https://x.com/intent/post?text=a", true},
        {"https://twitter.com/compose/post", true},
        {"https://mobile.twitter.com/intent/tweet", true},
        {"https://user@x.com:443/intent/post", true},
        {"https://x.com/intent", false},
        {"https://x.com/composer/post", false},
        {"https://x.com.evil.example/intent/post", false},
        {"https://evil.example/x.com/intent/post", false},
        {"x.com/intent/post", false},
        {"", false},
        {std::nullopt, false},
    };
    for (const auto& [address, expected] : cases) {
        EXPECT_EQ(ComposerPaste::isComposerAddress(address), expected) << address.value_or("none");
    }
}
