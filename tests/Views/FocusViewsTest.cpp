#include "Platform/InstalledApps.h"
#include "Views/Focus/ActiveFocusTaskView.h"
#include "Views/Focus/AllowlistSettings.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusParts.h"
#include "Views/Focus/FocusTaskCard.h"
#include "Views/Focus/LockInView.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using namespace testing_support;

// A rig with a few installed applications, already scanned.
struct FocusViewsRig : EngineRig
{
    FocusViewsRig() : EngineRig(Calendar::date(2026, 3, 5, 9, 0))
    {
        ensureApplication();
        start();
        apps.refresh();
        apps.waitForScan();
        settle();
    }
    void pump()
    {
        settle();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    InstalledApps apps{[] {
                           return std::vector<InstalledApp>{
                               {"org.gnome.nautilus", "Files", ""},
                               {"org.gnome.terminal", "Terminal", ""},
                               {"com.microsoft.vscode", "Visual Studio Code", ""},
                           };
                       },
                       mainQueue};
};

TEST(FocusViewsTest, LockInPageShowsHistoryAndReloadsWhenATaskEnds)
{
    FocusViewsRig rig;
    LockInView page(*rig.engine, rig.apps);
    EXPECT_EQ(page.shownEmptyText(), "No sessions yet.");
    rig.pump();
    EXPECT_EQ(page.shownEmptyText(), "No sessions yet.");
    EXPECT_TRUE(page.shownChips().empty());

    FocusTask task;
    task.id = "0B6F1C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D";
    task.name = "Write <b>tests</b>";
    task.estimatedSeconds = 1800;
    task.allowedBundleIDs = {"com.microsoft.vscode"};
    task.startedAt = rig.clock.now();
    task.isLockdown = true;
    rig.engine->startFocusTask(task);
    rig.show("com.microsoft.vscode");
    rig.run(65);
    rig.engine->endFocusTask(FocusTask::EndReason::brokeOut);
    rig.pump();

    ASSERT_EQ(page.shownRows().size(), 1u);
    EXPECT_EQ(page.shownRows()[0].name, "Write <b>tests</b>");
    EXPECT_EQ(page.shownRows()[0].outcome, "broke out");
    EXPECT_EQ(page.shownChips(),
              (std::vector<std::pair<QString, QString>>{{"lockdowns today", "1"},
                                                        {"locked time", "1m"},
                                                        {"blocked attempts", "0"},
                                                        {"finished", "0%"}}));
    EXPECT_EQ(page.shownEmptyText(), "");
}

} // namespace
} // namespace kestrove
