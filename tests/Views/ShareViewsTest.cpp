#include "ViewLogic/Share/ShareCardLayout.h"
#include "ViewLogic/Share/ShareSheetModel.h"
#include "Views/Dashboard/TodayView.h"
#include "Views/Share/ShareCardView.h"
#include "Views/Share/ShareSheet.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/FakeClipboard.h"
#include "support/TimeZone.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kestrove;

namespace {

// Pixels of the deep bars' colours (the gradient from deep dark to deep light) in a column of
// the card between two heights, in logical pixels.
int deepPixels(const QImage& image, double x, double fromY, double toY)
{
    int found = 0;
    for (double y = fromY; y < toY; y += 0.5) {
        const QColor c = image.pixelColor(static_cast<int>(x * 2), static_cast<int>(y * 2));
        // Violet: blue well above green, red between them.
        if (c.blue() > 200 && c.blue() - c.green() > 60 && c.red() > c.green()) {
            ++found;
        }
    }
    return found;
}

Segment segment(Date start, Date end, ContextKind kind)
{
    Segment s;
    s.start = start;
    s.end = end;
    s.kind = kind;
    s.appName = "Code";
    return s;
}

} // namespace

TEST(ShareCardViewTest, TheCardIs2400By1350AndShowsItsGraphic)
{
    testing_support::ensureApplication();
    const ScopedTimeZone zone("Europe/Berlin");
    const Date day = Calendar::date(2026, 3, 4);

    ShareCardData dayCard;
    dayCard.deepSeconds = 4 * 3600;
    dayCard.goalSeconds = 4 * 3600;
    // Deep work over the first half of the strip's window, nothing after.
    dayCard.strip = {segment(day + 8 * 3600, day + 12 * 3600, ContextKind::deep)};
    dayCard.stripRange = StripData::Range{day + 8 * 3600, day + 16 * 3600};
    const QImage image = renderShareCard(dayCard, "en_US");
    ASSERT_EQ(image.size(), QSize(2400, 1350));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    // No glow reaches the top-left corner: the card's ink.
    EXPECT_EQ(image.pixelColor(4, 4).rgb(), KS::ink().rgb());
    EXPECT_GT(deepPixels(image, 56 + 1088 * 0.25, 420, 640), 40);
    EXPECT_EQ(deepPixels(image, 56 + 1088 * 0.75, 420, 640), 0);

    ShareCardData weekCard;
    weekCard.goalSeconds = 7 * 4 * 3600;
    for (int i = 0; i < 7; ++i) {
        weekCard.days.push_back({Calendar::addingDays(day, i), i == 0 ? 4 * 3600.0 : 0, 0});
    }
    const QImage week = renderShareCard(weekCard, "en_US");
    const double column = (1088 - 6 * 14) / 7.0;
    // The day at the goal fills its track; the empty days show only their tracks.
    EXPECT_GT(deepPixels(week, 56 + column / 2, 420, 640), 100);
    EXPECT_EQ(deepPixels(week, 56 + 6 * (column + 14) + column / 2, 420, 640), 0);

    const auto png = pngData(week);
    ASSERT_TRUE(png);
    EXPECT_TRUE(png->startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(*png, "PNG").size(), QSize(2400, 1350));
    EXPECT_FALSE(pngData(QImage()));
}

namespace {

class ShareSheetTest : public ::testing::Test
{
protected:
    ShareSheetTest()
    {
        testing_support::ensureApplication();
        rig.start();
        rig.show("com.microsoft.vscode", "main.cpp — kestrove");
        rig.run(120);
    }

    std::unique_ptr<ShareSheet> sheet(SharePeriod period)
    {
        auto built = std::make_unique<ShareSheet>(
            ShareSheet::Services{*rig.engine, clipboard,
                                 [this](std::int64_t count) { attached.push_back(count); },
                                 [this](const std::string& address) {
                                     opened.push_back(address);
                                     return true;
                                 },
                                 [this](QWidget*, const QString& proposed) {
                                     proposals.push_back(proposed.toStdString());
                                     return QString::fromStdString(saveTo);
                                 }},
            period);
        rig.settle();
        return built;
    }

    ScopedTimeZone zone{"Europe/Berlin"};
    EngineRig rig{Calendar::date(2026, 12, 8, 10, 0)};
    FakeClipboard clipboard;
    std::vector<std::int64_t> attached;
    std::vector<std::string> opened;
    std::vector<std::string> proposals;
    std::string saveTo;
};

} // namespace

TEST_F(ShareSheetTest, TheActionsWaitForTheCardAndCopyGivesFeedbackForAWhile)
{
    auto view =
        std::make_unique<ShareSheet>(ShareSheet::Services{*rig.engine, clipboard, {}, {}, {}},
                                     SharePeriod::day(rig.clock.now()));
    EXPECT_EQ(view->title(), "Today's card");
    EXPECT_FALSE(view->copyButton()->isEnabled());
    view->copyImage(); // nothing to copy yet
    EXPECT_EQ(clipboard.changes, 0);
    rig.settle();
    ASSERT_TRUE(view->copyButton()->isEnabled());
    EXPECT_EQ(view->image().size(), QSize(2400, 1350));
    EXPECT_TRUE(view->postTextEditor()->toPlainText().startsWith("2m of deep work today."));

    view->copyImage();
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(clipboard.image), "PNG").size(),
              QSize(2400, 1350));
    EXPECT_EQ(view->copyButton()->text(), "Copied");
    rig.scheduler.advance(1.0);
    view->copyImage(); // a second copy does not prolong the first one's feedback
    rig.scheduler.advance(0.6);
    EXPECT_EQ(view->copyButton()->text(), "Copy image");
}

TEST_F(ShareSheetTest, ASaveSaysWhetherTheFileWasWritten)
{
    TemporaryFolder folder;
    auto view = sheet(SharePeriod::week(Calendar::date(2026, 12, 7), Calendar::date(2026, 12, 14)));
    EXPECT_EQ(view->title(), "This week's card");

    saveTo = ""; // cancelled
    view->savePNG();
    EXPECT_EQ(view->saveButton()->text(), "Save PNG…");

    saveTo = folder.path + "/missing/folder/card.png";
    view->savePNG();
    EXPECT_EQ(view->saveButton()->text(), "Not saved");
    rig.scheduler.advance(1.6);
    EXPECT_EQ(view->saveButton()->text(), "Save PNG…");

    saveTo = folder.path + "/card.png";
    view->savePNG();
    EXPECT_EQ(view->saveButton()->text(), "Saved");
    EXPECT_EQ(QImage(QString::fromStdString(saveTo)).size(), QSize(2400, 1350));
    EXPECT_EQ(proposals.back(), "kestrove-week-2026-12-08.png");
}

TEST_F(ShareSheetTest, PostOpensTheComposerWithTheTextAsEditedAndHandsOverTheClipboard)
{
    auto view = sheet(SharePeriod::day(rig.clock.now()));
    const QString text = "Deep work + C++ & more = 100%\n#focus?";
    view->postTextEditor()->setPlainText(text);
    view->postOnX();
    ASSERT_EQ(opened.size(), 1u);
    const QUrl address(QString::fromStdString(opened[0]));
    EXPECT_EQ(address.host(), "x.com");
    EXPECT_EQ(address.path(), "/intent/post");
    EXPECT_EQ(QUrlQuery(address).queryItemValue("text", QUrl::FullyDecoded), text);
    EXPECT_EQ(view->copyButton()->text(), "Copied");
    EXPECT_EQ(attached, std::vector<std::int64_t>{clipboard.changes});
}

TEST_F(ShareSheetTest, AHandleIsKeptAndPrintedOnlyOnReturn)
{
    auto view = sheet(SharePeriod::day(rig.clock.now()));
    view->handleField()->setText("@me");
    EXPECT_FALSE(rig.prefs.string(ShareSheetTexts::kHandleKey));
    view->postTextEditor()->setPlainText("typed");
    view->submitHandle();
    rig.settle();
    EXPECT_EQ(rig.prefs.string(ShareSheetTexts::kHandleKey), "@me");
    ASSERT_TRUE(view->state().card());
    EXPECT_EQ(view->state().card()->data.handle, "@me");
    EXPECT_NE(view->postTextEditor()->toPlainText(), "typed"); // replaced by the new build

    // The next sheet starts with the stored handle; an empty one prints none.
    auto next = sheet(SharePeriod::day(rig.clock.now()));
    EXPECT_EQ(next->handleField()->text(), "@me");
    next->handleField()->clear();
    next->submitHandle();
    rig.settle();
    EXPECT_EQ(rig.prefs.string(ShareSheetTexts::kHandleKey), "");
    EXPECT_FALSE(next->state().card()->data.handle);
}

TEST_F(ShareSheetTest, TheTodayPagePresentsTheSheetWhileAskedAndClearsTheAsk)
{
    DashboardNavigation navigation;
    std::vector<SharePeriod> presented;
    TodayView::Hooks hooks;
    hooks.presentShare = [&](QWidget*, const SharePeriod& period) { presented.push_back(period); };
    navigation.setShowShare(true); // the popover's share action, before the page exists
    TodayView page(*rig.engine, navigation, hooks);
    QCoreApplication::processEvents();
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_FALSE(presented[0].isWeek());
    EXPECT_TRUE(Calendar::isSameDay(presented[0].start, rig.clock.now()));
    EXPECT_FALSE(navigation.showShare());

    // Asked again while the page shows a past day: that day's sheet.
    navigation.setSelectedDay(Calendar::date(2026, 12, 6));
    navigation.setShowShare(true);
    QCoreApplication::processEvents();
    ASSERT_EQ(presented.size(), 2u);
    EXPECT_TRUE(Calendar::isSameDay(presented[1].start, Calendar::date(2026, 12, 6)));
    EXPECT_FALSE(navigation.showShare());
}
