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

TEST(FocusViewsTest, PickerListsSearchesTogglesAndAnswersReturn)
{
    FocusViewsRig rig;
    AppSelection changed;
    int done = 0;
    AppPickerView picker(rig.apps, {"Org.Gnome.Terminal"});
    picker.onSelectionChanged = [&](const AppSelection& selection) { changed = selection; };
    picker.onDone = [&] { ++done; };
    EXPECT_EQ(picker.listedIDs(),
              (std::vector<std::string>{"org.gnome.nautilus", "org.gnome.terminal",
                                        "com.microsoft.vscode"}));
    EXPECT_EQ(picker.countText(), "1 selected");

    picker.searchField()->setText("TER");
    ASSERT_EQ(picker.listedIDs(), (std::vector<std::string>{"org.gnome.terminal"}));
    // The stored capitalised identifier shows chosen: a click takes it out.
    QListWidget* list = picker.list();
    picker.resize(AppPickerView::kWidth, AppPickerView::kHeight);
    picker.show();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(picker.countText(), "0 selected");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(changed, (AppSelection{"org.gnome.terminal"}));

    EXPECT_EQ(done, 0);
    QTest::keyClick(picker.searchField(), Qt::Key_Return);
    EXPECT_EQ(done, 1);
    QTest::mouseClick(picker.doneButton(), Qt::LeftButton);
    EXPECT_EQ(done, 2);
}

TEST(FocusViewsTest, CardStartsATaskAndShowsItUntilItEnds)
{
    FocusViewsRig rig;
    FocusTaskCard card(*rig.engine, rig.apps);
    card.show();
    ASSERT_TRUE(card.nameField());
    EXPECT_FALSE(card.startButton()->isEnabled());
    EXPECT_EQ(card.addButton()->text(), "Choose apps");

    card.nameField()->setText("Write the card");
    EXPECT_FALSE(card.startButton()->isEnabled()) << "no application yet";
    QTest::mouseClick(card.addButton(), Qt::LeftButton);
    ASSERT_TRUE(card.picker());
    QTest::mouseClick(
        card.picker()->list()->viewport(), Qt::LeftButton, {},
        card.picker()->list()->visualItemRect(card.picker()->list()->item(0)).center());
    EXPECT_EQ(card.chipNames(), (std::vector<QString>{"Files"}));
    EXPECT_EQ(card.addButton()->text(), "Add");
    EXPECT_TRUE(card.startButton()->isEnabled());
    QTest::mouseClick(card.picker()->doneButton(), Qt::LeftButton);
    rig.pump();
    EXPECT_FALSE(card.picker()) << "Done closes the form's picker";
    card.lengthMenu()->setCurrentIndex(0);

    QTest::keyClick(card.nameField(), Qt::Key_Return);
    rig.pump();
    const auto& task = rig.engine->focusTaskManager().active();
    ASSERT_TRUE(task);
    EXPECT_EQ(task->estimatedSeconds, 900.0);
    ASSERT_TRUE(card.activeView());
    EXPECT_EQ(card.nameField(), nullptr);
    EXPECT_EQ(card.activeView()->clockText(), "15:00");
    EXPECT_EQ(card.activeView()->attemptsText(), "0 blocked attempts");

    QTest::mouseClick(card.activeView()->finishButton(), Qt::LeftButton);
    ASSERT_TRUE(card.activeView()->finishConfirmation());
    card.activeView()->finishConfirmation()->reject();
    rig.pump();
    EXPECT_TRUE(rig.engine->focusTaskManager().active()) << "cancelling leaves the task running";

    QTest::mouseClick(card.activeView()->finishButton(), Qt::LeftButton);
    QMessageBox* confirmation = card.activeView()->finishConfirmation();
    ASSERT_TRUE(confirmation);
    confirmation->buttons().front()->click();
    rig.pump();
    rig.pump();
    EXPECT_FALSE(rig.engine->focusTaskManager().active());
    ASSERT_TRUE(card.nameField());
    EXPECT_EQ(card.nameField()->text(), "");
    EXPECT_EQ(card.chipNames(), (std::vector<QString>{"Files"})) << "the next form starts from it";
}

TEST(FocusViewsTest, AllowlistCardStoresThePickersChoiceOnlyOnDone)
{
    FocusViewsRig rig;
    rig.presets.setAlwaysAllowed({"org.gnome.nautilus"});
    AllowlistSettings card(rig.presets, rig.apps);
    card.show();
    // AppChip has no meta-object of its own: findChildren would take any widget for one.
    const auto shownChips = [&] {
        std::vector<AppChip*> result;
        for (auto* widget : card.findChildren<QWidget*>()) {
            auto* chip = dynamic_cast<AppChip*>(widget);
            if (chip && chip->isVisibleTo(&card)) {
                result.push_back(chip);
            }
        }
        return result;
    };
    const auto chips = [&] {
        std::vector<QString> names;
        for (auto* chip : shownChips()) {
            names.push_back(chip->name());
        }
        return names;
    };
    EXPECT_EQ(chips(), (std::vector<QString>{"Files"}));

    QTest::mouseClick(card.editButton(), Qt::LeftButton);
    ASSERT_TRUE(card.picker());
    QListWidget* list = card.picker()->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(rig.presets.alwaysAllowed(), (std::vector<std::string>{"org.gnome.nautilus"}));
    card.picker()->window()->close(); // a click outside: nothing stored
    rig.pump();
    EXPECT_EQ(rig.presets.alwaysAllowed(), (std::vector<std::string>{"org.gnome.nautilus"}));

    QTest::mouseClick(card.editButton(), Qt::LeftButton);
    list = card.picker()->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QTest::mouseClick(card.picker()->doneButton(), Qt::LeftButton);
    rig.pump();
    EXPECT_EQ(rig.presets.alwaysAllowed(),
              (std::vector<std::string>{"org.gnome.nautilus", "org.gnome.terminal"}));
    EXPECT_EQ(chips(), (std::vector<QString>{"Files", "Terminal"}));

    QTest::mouseClick(shownChips().front()->removeButton(), Qt::LeftButton);
    rig.pump();
    EXPECT_EQ(rig.presets.alwaysAllowed(), (std::vector<std::string>{"org.gnome.terminal"}));
    rig.presets.removeAlwaysAllowed("org.gnome.terminal");
    rig.pump();
    EXPECT_TRUE(chips().empty());
}

} // namespace
} // namespace kestrove
