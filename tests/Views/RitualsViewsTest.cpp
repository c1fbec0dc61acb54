#include "ViewsTestSupport.h"

#include "Platform/LifetimeGuard.h"
#include "Views/Rituals/BlockEditorRow.h"
#include "Views/Rituals/GateWindows.h"
#include "Views/Rituals/MorningGateView.h"
#include "Views/Rituals/PlanViews.h"
#include "Views/Rituals/ShutdownView.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using testing_support::ensureApplication;

GateForm gateForm(bool isWall, bool closable, std::vector<DayPlan>* submitted)
{
    GateForm form;
    form.isWall = isWall;
    form.initialPlan = DayPlan::empty(Calendar::date(2026, 1, 5), Calendar::date(2026, 1, 5, 7));
    form.initialPlan.context = "kept";
    form.onSubmit = [submitted](const DayPlan& plan) { submitted->push_back(plan); };
    if (closable) {
        form.onClose = [] {};
    }
    return form;
}

TEST(MorningGateViewTest, TypingATaskEnablesSubmitWhichHandsOverTheNamedBlocks)
{
    ensureApplication();
    std::vector<DayPlan> submitted;
    MorningGateView view(gateForm(true, false, &submitted), {});
    view.resize(1000, 800);
    EXPECT_FALSE(view.closeButton());
    ASSERT_EQ(view.rows().size(), 1u);
    EXPECT_FALSE(view.submitButton()->isEnabled());
    EXPECT_FALSE(view.copyButton()->isEnabled());
    EXPECT_EQ(view.submitButton()->text(), "Start the day");
    auto* missing = view.findChild<QLabel*>("missingLine");
    EXPECT_EQ(missing->text(), "Still missing: at least one deep work block.");

    QTest::keyClicks(view.rows()[0]->taskField(), "Parser");
    EXPECT_TRUE(view.submitButton()->isEnabled());
    EXPECT_EQ(view.findChild<QLabel*>("plannedTotal")->text(), "1h 30m");
    QTest::keyClick(view.rows()[0]->taskField(), Qt::Key_Return); // Return submits nothing
    EXPECT_TRUE(submitted.empty());

    view.findChild<QPushButton*>("add45")->click();
    QApplication::processEvents();
    ASSERT_EQ(view.rows().size(), 2u);
    view.submitButton()->click();
    ASSERT_EQ(submitted.size(), 1u);
    ASSERT_EQ(submitted[0].blocks.size(), 1u); // the unnamed 45 stays behind
    EXPECT_EQ(submitted[0].blocks[0].task, "Parser");
    EXPECT_EQ(submitted[0].context, "kept");

    // Removing the named block takes the plan back to missing one.
    view.rows()[0]->findChild<QToolButton*>("removeBlock")->click();
    QApplication::processEvents();
    EXPECT_EQ(view.rows().size(), 1u);
    EXPECT_FALSE(view.submitButton()->isEnabled());
}

TEST(MorningGateViewTest, TheEditorHasACloseButtonAndTheNoteShowsOnlyWhenThereIsOne)
{
    ensureApplication();
    std::vector<DayPlan> submitted;
    std::optional<std::string> note;
    MorningGateView::Context context;
    context.shutdownNote = [&] { return note; };
    MorningGateView editor(gateForm(false, true, &submitted), context);
    ASSERT_TRUE(editor.closeButton());
    EXPECT_EQ(editor.closeButton()->text(), "Close");
    EXPECT_EQ(editor.submitButton()->text(), "Save changes");
    auto* shown = editor.findChild<QLabel*>("shutdownNote");
    editor.show();
    EXPECT_FALSE(shown->isVisibleTo(&editor));
    note = "Parser first";
    editor.hide();
    editor.show();
    EXPECT_TRUE(shown->isVisibleTo(&editor));
    EXPECT_EQ(shown->text(), "Parser first");
}

TEST(BlockEditorRowTest, PickedAppsAreWrittenToTheBlockAndTheWarningFollows)
{
    ensureApplication();
    DayPlanForm form(gateForm(true, false, nullptr).initialPlan, true, {"code"});
    const std::string id = form.addBlock(60);
    form.setApps(id, {});
    std::set<std::string> offered;
    std::function<void(const std::set<std::string>&)> done;
    BlockEditorRow::Hooks hooks;
    hooks.lastUsedApps = {"code"};
    hooks.pickApps = [&](QWidget*, const QString&, const std::set<std::string>& selection,
                         std::function<void(const std::set<std::string>&)> onDone) {
        offered = selection;
        done = std::move(onDone);
    };
    BlockEditorRow row(form, id, hooks);
    EXPECT_EQ(row.appsButton()->text(), "Pick apps");
    row.appsButton()->click();
    EXPECT_EQ(offered, (std::set<std::string>{"code"}));
    ASSERT_TRUE(done);
    done({"code", "gimp"});
    EXPECT_EQ(form.block(id)->allowedBundleIDs, (std::vector<std::string>{"code", "gimp"}));
    EXPECT_EQ(row.appsButton()->text(), "2 apps");
    done({});
    EXPECT_TRUE(form.block(id)->allowedBundleIDs.empty());
    EXPECT_EQ(row.appsButton()->text(), "Pick apps");
}

struct EngineViewsTest : testing::Test
{
    EngineViewsTest()
    {
        ensureApplication();
        rig.start();
    }
    ScopedTimeZone zone{"Europe/Berlin"};
    EngineRig rig{Calendar::date(2026, 1, 5, 9)};
};

TEST_F(EngineViewsTest, PlanCardFollowsTheStoreAndStartsABlock)
{
    PlanCard card(*rig.engine, {});
    EXPECT_EQ(card.headerButton()->text(), "Plan the day");
    card.headerButton()->click();
    EXPECT_EQ(rig.gate.editorOpenings, 1);

    DayPlan plan = DayPlan::empty(Calendar::date(2026, 1, 5), rig.clock.now());
    plan.blocks.emplace_back("A", "Essay", 60, std::nullopt, 600, std::nullopt, std::nullopt,
                             std::nullopt, std::nullopt, std::vector<std::string>{"code"},
                             BlockMode::locked);
    rig.engine->dayPlans().complete(plan);
    QApplication::processEvents();
    EXPECT_EQ(card.headerButton()->text(), "Edit");
    ASSERT_EQ(card.rows().size(), 1u);
    ASSERT_TRUE(card.rows()[0]->startButton());
    EXPECT_EQ(card.rows()[0]->startButton()->text(), "Lock in");
    card.rows()[0]->startButton()->click();
    rig.settle();
    QApplication::processEvents();
    EXPECT_TRUE(rig.engine->focusTaskManager().active());
    ASSERT_EQ(card.rows().size(), 1u);
    EXPECT_EQ(card.rows()[0]->stateMenu()->text(), "running");

    PlanStrip strip(*rig.engine, {});
    EXPECT_EQ(strip.model().kind, PlanStripModel::Kind::running);
    EXPECT_FALSE(strip.button()->isVisibleTo(&strip));
}

TEST_F(EngineViewsTest, ShutdownStoresTheTextAndASecondWindowStartsFromIt)
{
    ShutdownWindowController controller(*rig.engine);
    controller.show();
    QPointer<QWidget> first = controller.window();
    ASSERT_TRUE(first);
    controller.show();
    EXPECT_EQ(controller.window(), first); // fronted, not built again
    auto* view = first->findChild<ShutdownView*>();
    EXPECT_EQ(view->findChild<QLabel*>("deepTime")->text(), "0m");
    EXPECT_EQ(view->planField()->toPlainText(), "");
    view->planField()->setPlainText("\n  Parser first\n\n");
    view->completeButton()->click();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_TRUE(rig.engine->isShutdownComplete());
    EXPECT_EQ(rig.prefs.string(SessionEngine::kTomorrowPlanKey), "Parser first");

    controller.show();
    ASSERT_TRUE(controller.window());
    EXPECT_EQ(controller.window()->findChild<ShutdownView*>()->planField()->toPlainText(),
              "Parser first");
}

// The wall over a screen list the test controls.
struct WallTest : testing::Test
{
    WallTest() { ensureApplication(); }

    QWidget* makeForm(const GateForm& form)
    {
        ++forms;
        return new MorningGateView(form, {});
    }

    FakeClock clock{Calendar::date(2026, 1, 5, 9)};
    FakeScheduler scheduler{clock};
    ManualMainQueue queue;
    QList<QScreen*> screens;
    int forms = 0;
    int contents = 0;
    MorningWallWindows wall{[this](const GateForm& f) { return makeForm(f); }, scheduler, queue,
                            [this] { return screens; }};
    std::function<GateForm()> content = [this] {
        ++contents;
        GateForm form;
        form.isWall = true;
        form.initialPlan = DayPlan::empty(Calendar::date(2026, 1, 5), clock.now());
        form.onSubmit = [](const DayPlan&) {};
        return form;
    };
};

TEST_F(WallTest, WithoutAScreenTheWallWaitsAndALaterScreenGetsAForm)
{
    wall.present(content);
    EXPECT_TRUE(wall.isPresenting());
    EXPECT_TRUE(wall.windows().empty());
    screens = {QGuiApplication::primaryScreen()};
    wall.screensChanged();
    ASSERT_EQ(wall.windows().size(), 1u);
    EXPECT_TRUE(wall.windows()[0]->findChild<MorningGateView*>());
    EXPECT_EQ(wall.windows()[0]->geometry(), screens[0]->geometry());
    EXPECT_EQ(contents, 1);

    // Up already: re-asserted, nothing rebuilt.
    wall.present(content);
    wall.screensChanged();
    EXPECT_EQ(contents, 1);
    EXPECT_EQ(forms, 1);

    wall.dismiss();
    EXPECT_FALSE(wall.isPresenting());
    EXPECT_TRUE(wall.windows().empty());
    wall.screensChanged();
    EXPECT_TRUE(wall.windows().empty());
}

TEST_F(WallTest, HoldingShiftAltAndCtrlRunsTheHatchOnlyWhileUp)
{
    int hatches = 0;
    wall.setOnHatch([&] { ++hatches; });
    screens = {QGuiApplication::primaryScreen()};
    wall.present(content);
    QWindow* window = wall.windows()[0]->windowHandle();
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers before) {
        QKeyEvent event(QEvent::KeyPress, key, before);
        QCoreApplication::sendEvent(window, &event);
    };
    press(Qt::Key_Shift, Qt::NoModifier);
    press(Qt::Key_Alt, Qt::ShiftModifier);
    press(Qt::Key_Control, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(wall.hatch().isCounting());
    press(Qt::Key_Meta, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    scheduler.advance(5);
    queue.drain();
    EXPECT_EQ(hatches, 1);

    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt,
                      Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    press(Qt::Key_Control, Qt::ShiftModifier | Qt::AltModifier);
    QCoreApplication::sendEvent(window, &release);
    EXPECT_FALSE(wall.hatch().isCounting());
    wall.dismiss();
}

} // namespace
} // namespace kestrove
