#include "Collectors/BrowserTracker.h"

#include "support/FakeBrowserScripting.h"
#include "support/FakeClock.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

const std::optional<std::string> kChromium = "org.chromium.chromium";
const std::optional<std::string> kFirefox = "org.mozilla.firefox";

class BrowserTrackerTest : public testing::Test
{
protected:
    BrowserTrackerTest()
    {
        tracker.onChange = [this] { ++changes; };
    }

    // The browser answers the oldest request after `seconds`; the answer lands on the main queue.
    void answer(std::optional<std::string> address, TimeInterval seconds = 0.1)
    {
        clock.advance(seconds);
        scripting.answer(std::move(address));
        mainQueue.drain();
    }

    FakeClock clock;
    ManualMainQueue mainQueue;
    FakeBrowserScripting scripting;
    BrowserTracker tracker{scripting, clock, mainQueue};
    int changes = 0;
};

TEST_F(BrowserTrackerTest, FirstSampleIsEmptyAndTheFetchedAddressCallsBack)
{
    EXPECT_EQ(tracker.currentURL(kChromium, 4242), "");
    ASSERT_EQ(scripting.requests.size(), 1u);
    EXPECT_EQ(scripting.requests.front().bundleID, *kChromium);
    EXPECT_EQ(scripting.requests.front().processID, 4242);
    EXPECT_EQ(tracker.currentURL(kChromium), "") << "one fetch at a time";
    EXPECT_EQ(scripting.requestCount, 1);

    answer("https://docs.example.org/guide");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tracker.currentURL(kChromium), "https://docs.example.org/guide");
}

TEST_F(BrowserTrackerTest, FetchesAreSpacedTwoSecondsFromCompletion)
{
    tracker.currentURL(kChromium);
    answer("https://a.example/", 1.5); // a slow browser: completes 1.5 s after the request

    clock.advance(1.9);
    EXPECT_EQ(tracker.currentURL(kChromium), "https://a.example/");
    EXPECT_EQ(scripting.requestCount, 1);
    clock.advance(0.1);
    tracker.currentURL(kChromium);
    EXPECT_EQ(scripting.requestCount, 2);
}

TEST_F(BrowserTrackerTest, OnlyChangedAddressesCallBack)
{
    tracker.currentURL(kFirefox);
    answer("https://a.example/");
    clock.advance(2);
    tracker.currentURL(kFirefox);
    answer("https://a.example/");
    EXPECT_EQ(changes, 1);

    // A private window, or no page: nothing becomes the empty address.
    clock.advance(2);
    tracker.currentURL(kFirefox);
    answer(std::nullopt);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(tracker.currentURL(kFirefox), "");
}

TEST_F(BrowserTrackerTest, LateAnswerForThePreviousBrowserIsDropped)
{
    tracker.currentURL(kChromium);
    EXPECT_EQ(tracker.currentURL(kFirefox), "");
    EXPECT_EQ(scripting.requestCount, 1) << "Chromium's fetch is still in flight";

    answer("https://chromium.example/");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(tracker.currentURL(kFirefox), "");
    EXPECT_EQ(scripting.requestCount, 1) << "the next fetch waits 2 s from that completion";

    clock.advance(2);
    tracker.currentURL(kFirefox);
    ASSERT_EQ(scripting.requestCount, 2);
    EXPECT_EQ(scripting.requests.front().bundleID, *kFirefox);
}

TEST_F(BrowserTrackerTest, SwitchingBackStartsEmptyAndFetchesAtOnce)
{
    tracker.currentURL(kChromium);
    answer("https://chromium.example/");
    tracker.currentURL(kFirefox);
    answer("https://firefox.example/");

    EXPECT_EQ(tracker.currentURL(kChromium), "");
    EXPECT_EQ(scripting.requestCount, 3);
}

TEST_F(BrowserTrackerTest, OnlyListedBrowsersAreFetchedInAnyLetterCase)
{
    const std::optional<std::string> none;
    for (const auto& bundleID : {none, std::optional<std::string>("com.example.editor")}) {
        EXPECT_EQ(tracker.currentURL(bundleID), "");
    }
    EXPECT_EQ(scripting.requestCount, 0);

    tracker.currentURL("COM.APPLE.SAFARI");
    ASSERT_EQ(scripting.requestCount, 1);
    EXPECT_EQ(scripting.requests.front().bundleID, "COM.APPLE.SAFARI");
}

TEST_F(BrowserTrackerTest, AnswerAfterTheTrackerIsGoneIsDropped)
{
    auto shortLived = std::make_unique<BrowserTracker>(scripting, clock, mainQueue);
    shortLived->onChange = [this] { ++changes; };
    shortLived->currentURL(kChromium);
    shortLived.reset();

    answer("https://a.example/");
    EXPECT_EQ(changes, 0);
}

} // namespace
