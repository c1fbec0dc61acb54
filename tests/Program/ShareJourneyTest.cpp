// Sharing from the dashboard as a user does it: the popover's share opens today's sheet over the
// today page, the week page's Share opens the week's.
#include "Application.h"
#include "ProgramTestSupport.h"
#include "Views/Share/ShareSheet.h"
#include "core/Calendar.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

using namespace kestrove;

namespace {

constexpr int kWaitMilliseconds = 20000;

ShareSheet* openSheet()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* sheet = dynamic_cast<ShareSheet*>(widget); sheet && sheet->isVisible()) {
            return sheet;
        }
        if (auto* sheet = widget->findChild<ShareSheet*>(); sheet && sheet->isVisible()) {
            return sheet;
        }
    }
    return nullptr;
}

} // namespace

TEST(ShareJourneyTest, TheTodayAndWeekPagesPresentTheirSheets)
{
    testing_support::programApplication();
    TemporaryFolder home;
    setenv("XDG_DATA_HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.path.c_str(), 1);
    testing_support::writeReturningUser(home.path);
    {
        // Some deep work this week: the week page offers Share only then.
        Database db(Database::defaultPath());
        db.open();
        const Date now = static_cast<Date>(std::time(nullptr));
        Segment segment;
        segment.start = std::max(Calendar::startOfDay(now), now - 3600);
        segment.end = now - 1;
        segment.kind = ContextKind::deep;
        segment.appName = "Code";
        db.insertSegment(segment);
    }

    Application app;
    app.launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.engine().hasStarted(); }, kWaitMilliseconds));

    // What the popover's share action and the daily summary's action do.
    app.shell().navigation().setShowShare(true);
    app.shell().dashboard().show(DashboardSection::today);
    ASSERT_TRUE(QTest::qWaitFor([&] { return openSheet() != nullptr; }, kWaitMilliseconds));
    EXPECT_EQ(openSheet()->title(), "Today's card");
    EXPECT_FALSE(app.shell().navigation().showShare());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !openSheet()->image().isNull(); }, kWaitMilliseconds));
    openSheet()->close();
    QTest::qWait(50);
    EXPECT_EQ(openSheet(), nullptr);

    app.shell().dashboard().show(DashboardSection::week);
    QPushButton* share = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            share = app.shell().dashboard().window()->findChild<QPushButton*>("shareWeek");
            return share && share->isEnabled();
        },
        kWaitMilliseconds));
    share->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return openSheet() != nullptr; }, kWaitMilliseconds));
    EXPECT_EQ(openSheet()->title(), "This week's card");
    EXPECT_TRUE(openSheet()->period().isWeek());
    openSheet()->close();
    app.quit();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.engine().isRunning(); }, kWaitMilliseconds));
}
