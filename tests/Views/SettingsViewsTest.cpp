#include "Platform/InstalledApps.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/FakeAccessibilitySwitch.h"
#include "support/FakeFolderRevealer.h"
#include "support/FakeLoginItem.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using namespace testing_support;

// The database lives in a folder of the test's own, not where the program keeps it.
struct SettingsRig : EngineRig
{
    SettingsRig() : EngineRig(Calendar::date(2026, 12, 7, 9, 0))
    {
        ensureApplication();
        start();
    }
    std::unique_ptr<SettingsPane> pane()
    {
        return std::make_unique<SettingsPane>(
            *engine, SettingsServices{apps, loginItem, accessibility, revealer, {}});
    }
    void pump()
    {
        settle();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    InstalledApps apps{[] { return std::vector<InstalledApp>{}; }, mainQueue};
    FakeLoginItem loginItem;
    FakeAccessibilitySwitch accessibility;
    FakeFolderRevealer revealer;
};

TEST(SettingsViewsTest, PagesShareOnePermissionPollThatEndsWithTheLast)
{
    SettingsRig rig;
    auto first = rig.pane();
    auto second = rig.pane();
    first->show();
    second->show();
    EXPECT_TRUE(rig.engine->permissions().isPolling());
    second->hide();
    EXPECT_TRUE(rig.engine->permissions().isPolling()) << "the first page still shows it";
    first->hide();
    EXPECT_FALSE(rig.engine->permissions().isPolling());
    second->show();
    EXPECT_TRUE(rig.engine->permissions().isPolling());
    second.reset();
    EXPECT_FALSE(rig.engine->permissions().isPolling());
}

TEST(SettingsViewsTest, GrantTurnsAccessibilityOnAndSaysToRestartBrowsers)
{
    SettingsRig rig;
    auto pane = rig.pane();
    pane->show();
    rig.accessibility.answer();
    PermissionRowView* row = pane->permissions()->browserRow();
    ASSERT_EQ(row->row().trailing(), PermissionRow::Trailing::grant);
    EXPECT_FALSE(row->grantButton()->isHidden());

    row->grantButton()->click();
    rig.accessibility.answer();
    EXPECT_EQ(rig.accessibility.state, AccessibilityState::on);
    EXPECT_TRUE(row->showsOn());
    EXPECT_TRUE(row->grantButton()->isHidden());
    EXPECT_NE(row->row().detail.find("Restart"), std::string::npos);
}

TEST(SettingsViewsTest, RevealOpensTheFolderOfTheDatabaseInUse)
{
    SettingsRig rig;
    auto pane = rig.pane();
    pane->data()->revealButton()->click();
    rig.pump();
    ASSERT_EQ(rig.revealer.revealed.size(), 1u);
    EXPECT_EQ(rig.revealer.revealed.front(), rig.folder.path + "/Kestrove");

    pane->show();
    rig.pump();
    EXPECT_TRUE(pane->data()->sizeText().endsWith(" KB")) << pane->data()->sizeText().toStdString();
}

TEST(SettingsViewsTest, PreviewIsRefusedWhileAFocusTaskLockdownRuns)
{
    SettingsRig rig;
    auto pane = rig.pane();
    FocusTask task;
    task.id = "6A2B9D1E-3C4F-4B5A-8E7D-1F0A2B3C4D5E";
    task.name = "Write";
    task.estimatedSeconds = 1800;
    task.startedAt = rig.clock.now();
    task.isLockdown = true;
    task.allowedBundleIDs = {"com.microsoft.vscode"};
    rig.engine->startFocusTask(task);
    rig.pump();
    pane->morning()->refresh();
    EXPECT_FALSE(pane->morning()->previewButton()->isEnabled());
    pane->morning()->previewWall();
    EXPECT_FALSE(rig.gate.up) << "the task's lockdown is left alone";

    rig.engine->endFocusTask(FocusTask::EndReason::completed);
    rig.pump();
    EXPECT_TRUE(pane->morning()->previewButton()->isEnabled());
    pane->morning()->previewButton()->click();
    EXPECT_TRUE(rig.gate.up);
    EXPECT_TRUE(rig.gate.previewing);
}

TEST(SettingsViewsTest, RejectedPrivateSiteKeepsItsTextAndReturnDoesNothing)
{
    SettingsRig rig;
    auto pane = rig.pane();
    PrivacySettingsCard* card = pane->privacy();
    const auto before = rig.engine->privacy().privateDomains();

    QTest::keyClicks(card->domainField(), "intranet");
    EXPECT_FALSE(card->addDomainButton()->isEnabled());
    QTest::keyClick(card->domainField(), Qt::Key_Return);
    EXPECT_EQ(card->domainField()->text(), "intranet");
    EXPECT_EQ(rig.engine->privacy().privateDomains(), before);

    card->domainField()->setText("https://www.MyBank.com/login");
    EXPECT_TRUE(card->addDomainButton()->isEnabled());
    QTest::keyClick(card->domainField(), Qt::Key_Return);
    rig.pump();
    EXPECT_EQ(card->domainField()->text(), "");
    EXPECT_EQ(card->domainChipNames(), std::vector<QString>{"mybank.com"});
}

TEST(SettingsViewsTest, SiteRuleChipsAndRowsFollowTheOverrides)
{
    SettingsRig rig;
    auto pane = rig.pane();
    ClassificationCardView* card = pane->classification();
    card->setSeen({{"com.microsoft.vscode", "Code", false, 600}});
    ASSERT_EQ(card->shownRows().size(), 1u);
    EXPECT_EQ(card->shownRows()[0].detail, "10m");

    card->shownRows()[0].menu->onChosen(2); // distraction
    rig.pump();
    EXPECT_EQ(card->shownRows()[0].detail, "10m · custom");
    card->shownRows()[0].menu->onChosen(0); // deep, the default
    rig.pump();
    EXPECT_FALSE(rig.engine->projects().overrides().contains("com.microsoft.vscode"));

    card->ruleField()->setText("localhost/admin");
    card->addSiteRule();
    EXPECT_EQ(card->ruleField()->text(), "localhost/admin") << "no dot: kept to be corrected";
    card->ruleField()->setText("HTTPS://www.GitHub.com/Team//");
    QTest::keyClick(card->ruleField(), Qt::Key_Return);
    rig.pump();
    EXPECT_EQ(card->ruleField()->text(), "");
    ASSERT_EQ(card->ruleChips().size(), 1u);
    EXPECT_EQ(card->ruleChips()[0]->label(), "github.com/team");
    card->ruleChips()[0]->removeButton()->click();
    rig.pump();
    EXPECT_TRUE(card->ruleChips().empty());
    EXPECT_TRUE(rig.engine->projects().overrides().empty());

    card->filterField()->setText("nothing like it");
    EXPECT_TRUE(card->showsEmptyHint());
}

TEST(SettingsViewsTest, GeneralCardWritesItsKeysAndCorrectsLaunchAtLogin)
{
    SettingsRig rig;
    rig.loginItem.refuses = true;
    auto pane = rig.pane();
    GeneralCardView* card = pane->general();
    card->launchSwitch()->click();
    EXPECT_FALSE(card->launchSwitch()->isChecked()) << "the refused change is taken back";

    EXPECT_TRUE(card->summaryMenu()->isEnabled());
    EXPECT_EQ(card->summaryMenu()->currentText(), "18:30");
    card->summarySwitch()->click();
    EXPECT_EQ(rig.prefs.boolValue("summaryEnabled"), false);
    EXPECT_FALSE(card->summaryMenu()->isEnabled());
    EXPECT_EQ(card->summaryMenu()->currentText(), "18:30") << "still shows the stored time";
    card->summaryMenu()->onChosen(12);
    EXPECT_EQ(rig.prefs.integer("summaryMinuteOfDay"), 1260);
    card->phoneSwitch()->click();
    EXPECT_EQ(rig.prefs.boolValue("iPhoneFocusEnabled"), true);
}

QAbstractButton* dialogButton(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text().remove('&') == text) {
            return button;
        }
    }
    return nullptr;
}

TEST(SettingsViewsTest, DeletionsAskFirstAndCancellingDeletesNothing)
{
    SettingsRig rig;
    auto pane = rig.pane();
    rig.show("com.microsoft.vscode", "Editor");
    rig.run(40);
    const std::string before =
        "SELECT count(*) FROM segments WHERE start_ts < " + std::to_string(rig.clock.now() - 5);
    ASSERT_NE(rig.rows(before)[0][0], "0");

    pane->data()->askResetToday();
    QMessageBox* box = pane->data()->dialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Delete today's tracked time?");
    ASSERT_NE(dialogButton(box, "Cancel"), nullptr);
    dialogButton(box, "Cancel")->click();
    rig.pump();
    EXPECT_NE(rig.rows(before)[0][0], "0") << "cancelled: nothing deleted";

    pane->data()->askDeleteAll();
    box = pane->data()->dialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Delete all tracked history?");
    ASSERT_NE(dialogButton(box, "Delete everything"), nullptr);
    dialogButton(box, "Delete everything")->click();
    rig.pump();
    EXPECT_EQ(rig.rows(before)[0][0], "0");
}

TEST(SettingsViewsTest, LockdownCardOpensTheAllowlistEditorInPlace)
{
    SettingsRig rig;
    auto pane = rig.pane();
    LockdownCardView* card = pane->lockdown();
    EXPECT_FALSE(card->showsEditor());
    EXPECT_EQ(card->toggleButton()->text(), "Edit");
    card->toggleButton()->click();
    EXPECT_TRUE(card->showsEditor());
    EXPECT_EQ(card->toggleButton()->text(), "Hide");
    card->toggleButton()->click();
    EXPECT_FALSE(card->showsEditor());
    EXPECT_EQ(card->toggleButton()->text(), "Edit");
}

} // namespace
} // namespace kestrove
