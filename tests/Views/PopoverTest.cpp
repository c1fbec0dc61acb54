#include "Views/FlowHUDController.h"
#include "Views/MenuBarView.h"
#include "Views/OnboardingController.h"
#include "Views/Shell/PopoverParts.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

using namespace kestrove;

namespace {

class PopoverTest : public ::testing::Test
{
protected:
    PopoverTest()
    {
        testing_support::ensureApplication();
        rig.start();
        rig.show("com.microsoft.vscode", "notes");
        rig.run(10);
    }

    MenuBarView::Actions recording()
    {
        MenuBarView::Actions actions;
        actions.openDashboard = [this](DashboardSection section) { opened.push_back(section); };
        actions.share = [this] { ++shares; };
        actions.quit = [this] { ++quits; };
        return actions;
    }

    void startTask(const std::string& id)
    {
        FocusTask task;
        task.id = id;
        task.name = "Write";
        task.estimatedSeconds = 1500;
        task.startedAt = rig.clock.now();
        rig.engine->startFocusTask(task);
        rig.settle();
    }

    EngineRig rig{Calendar::date(2026, 12, 7, 9, 0)};
    std::vector<DashboardSection> opened;
    int shares = 0;
    int quits = 0;
};

QAction* action(QMenu* menu, const QString& text)
{
    for (QAction* candidate : menu->actions()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

QStringList texts(QMenu* menu)
{
    QStringList result;
    for (QAction* candidate : menu->actions()) {
        result << (candidate->isSeparator() ? QStringLiteral("--") : candidate->text());
    }
    return result;
}

QAbstractButton* button(QWidget& root, const QString& text)
{
    for (auto* candidate : root.findChildren<QAbstractButton*>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

void sendMouse(QWidget& widget, QEvent::Type type, QPoint global, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(global - widget.pos()), QPointF(global), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST_F(PopoverTest, RedrawsEverySecondOnlyWhileShown)
{
    MenuBarView view(*rig.engine, recording());
    auto* timer = view.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    const int before = view.refreshCount();
    view.show();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_EQ(view.refreshCount(), before + 1);
    view.hide();
    EXPECT_FALSE(timer->isActive());
}

TEST_F(PopoverTest, FinishAsksOnceForTheRunningTaskAndEndsOnlyThatTask)
{
    MenuBarView view(*rig.engine, recording());
    view.show();
    startTask("first");
    view.refresh();
    QAbstractButton* finish = button(view, "I finished");
    ASSERT_NE(finish, nullptr);
    EXPECT_TRUE(finish->isVisible());
    finish->click();
    EXPECT_TRUE(view.isConfirmingFinish());
    EXPECT_FALSE(finish->isVisible());
    button(view, "Cancel")->click();
    EXPECT_FALSE(view.isConfirmingFinish());
    EXPECT_TRUE(rig.engine->focusTaskManager().active().has_value());

    // The task ends elsewhere while the question is open; the next task starts unasked.
    view.askToFinish();
    rig.engine->endFocusTask(FocusTask::EndReason::completed);
    rig.settle();
    startTask("second");
    view.refresh();
    EXPECT_FALSE(view.isConfirmingFinish());
    EXPECT_TRUE(button(view, "I finished")->isVisible());

    view.askToFinish();
    button(view, "Confirm, I'm done")->click();
    rig.settle();
    EXPECT_FALSE(rig.engine->focusTaskManager().active().has_value());
    EXPECT_FALSE(view.content().hasTask);
    EXPECT_EQ(rig.rows("SELECT task_uuid FROM focus_tasks").size(), 2u);
}

TEST_F(PopoverTest, MoreMenuPausesResumesAndOffersWhatIsHookedUp)
{
    MenuBarView view(*rig.engine, recording());
    QMenu* more = view.moreMenu();
    EXPECT_EQ(texts(more), (QStringList{"Pause tracking", "--", "Shutdown ritual…", "Settings…",
                                        "--", "Quit Kestrove"}));
    // Without the shutdown window there is nothing to open yet.
    EXPECT_FALSE(action(more, "Shutdown ritual…")->isEnabled());
    QMenu* pause = action(more, "Pause tracking")->menu();
    ASSERT_NE(pause, nullptr);
    action(pause, "For 15 minutes")->trigger();
    EXPECT_TRUE(rig.tracker.isPaused());
    EXPECT_EQ(rig.tracker.pausedUntil(), rig.clock.now() + 900);
    EXPECT_EQ(view.content().nowTitle, "Paused");

    more = view.moreMenu();
    EXPECT_EQ(texts(more).first(), "Resume tracking");
    EXPECT_EQ(action(more, "Pause tracking"), nullptr);
    action(more, "Resume tracking")->trigger();
    EXPECT_FALSE(rig.tracker.isPaused());
    action(view.moreMenu(), "Settings…")->trigger();
    action(view.moreMenu(), "Quit Kestrove")->trigger();
    EXPECT_EQ(opened, (std::vector{DashboardSection::settings}));
    EXPECT_EQ(quits, 1);

    int rituals = 0;
    MenuBarView::Actions actions = recording();
    actions.shutdownRitual = [&] { ++rituals; };
    MenuBarView hooked(*rig.engine, actions);
    QAction* ritual = action(hooked.moreMenu(), "Shutdown ritual…");
    ASSERT_TRUE(ritual && ritual->isEnabled());
    ritual->trigger();
    EXPECT_EQ(rituals, 1);
}

TEST_F(PopoverTest, PinMenuPinsMovesAndUnpins)
{
    MenuBarView view(*rig.engine, recording());
    QMenu* pins = view.pinMenu();
    EXPECT_EQ(texts(pins), (QStringList{"No projects yet", "Manage projects…"}));
    EXPECT_FALSE(action(pins, "No projects yet")->isEnabled());
    action(pins, "Manage projects…")->trigger();
    EXPECT_EQ(opened, (std::vector{DashboardSection::projects}));

    Project thesis;
    thesis.id = "A";
    thesis.name = "Thesis & notes";
    thesis.color = "teal";
    Project garden = thesis;
    garden.id = "B";
    garden.name = "Garden";
    rig.engine->projects().add(thesis);
    rig.engine->projects().add(garden);
    pins = view.pinMenu();
    // A name's ampersand is shown, not taken as a shortcut.
    ASSERT_NE(action(pins, "Thesis && notes"), nullptr);
    action(pins, "Thesis && notes")->trigger();
    EXPECT_EQ(rig.engine->projects().pinnedProjectID(), "A");
    EXPECT_TRUE(view.content().isPinned);
    EXPECT_EQ(view.content().pinLabel, "Thesis & notes");

    pins = view.pinMenu();
    EXPECT_FALSE(action(pins, "Thesis && notes")->icon().isNull());
    EXPECT_TRUE(action(pins, "Garden")->icon().isNull());
    action(pins, "Garden")->trigger();
    EXPECT_EQ(rig.engine->projects().pinnedProjectID(), "B");
    action(view.pinMenu(), "Garden")->trigger();
    EXPECT_EQ(rig.engine->projects().pinnedProjectID(), std::nullopt);
    EXPECT_EQ(view.content().pinLabel, "Working on…");
}

TEST_F(PopoverTest, ActionRowAndPlanStrip)
{
    auto* strip = new QWidget;
    MenuBarView::Actions actions = recording();
    actions.planStrip = [strip] { return strip; };
    MenuBarView view(*rig.engine, actions);
    EXPECT_TRUE(view.isAncestorOf(strip));
    view.show();
    button(view, "Dashboard")->click();
    button(view, "Lock in")->click();
    button(view, "Share")->click();
    EXPECT_EQ(opened, (std::vector{DashboardSection::today, DashboardSection::lockIn}));
    EXPECT_EQ(shares, 1);

    startTask("task");
    view.refresh();
    EXPECT_FALSE(button(view, "Lock in")->isVisible());
    EXPECT_TRUE(button(view, "Share")->isVisible());
}

TEST_F(PopoverTest, LockInDisplayIsPlacedDraggedAndRemembered)
{
    FlowHUDController hud(rig.prefs);
    hud.attach(*rig.engine);
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect full = screen->geometry();
    const QRect available = screen->availableGeometry();

    EXPECT_TRUE(hud.isEnabled());
    // A stored height that is no number falls back to the first place.
    rig.prefs.set(FlowHUDController::kTopKey, {std::numeric_limits<double>::quiet_NaN()});
    hud.setUp();
    hud.snapToScreenIfNeeded();
    hud.orderFront();
    ASSERT_TRUE(hud.isPanelVisible());
    FlowHUDView& panel = *hud.panel();
    EXPECT_EQ(panel.pos(), QPoint(full.right() + 1 - 252, available.top() + 120));
    EXPECT_TRUE(panel.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(panel.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));

    // Five pixels to recognise the drag, then exactly the pointer's vertical travel.
    const QPoint start = panel.pos() + QPoint(100, 20);
    sendMouse(panel, QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendMouse(panel, QEvent::MouseMove, start + QPoint(-3, 6), Qt::LeftButton);
    sendMouse(panel, QEvent::MouseMove, start + QPoint(-40, 36), Qt::LeftButton);
    EXPECT_EQ(panel.pos(), QPoint(full.right() + 1 - 252, available.top() + 150));
    sendMouse(panel, QEvent::MouseButtonRelease, start + QPoint(-40, 36), Qt::NoButton);
    EXPECT_EQ(rig.prefs.doubleValue(FlowHUDController::kTopKey), available.top() + 150);

    hud.orderOut();
    EXPECT_FALSE(hud.isPanelVisible());
    rig.prefs.setDouble(FlowHUDController::kTopKey, available.top() - 300.0);
    hud.snapToScreenIfNeeded();
    EXPECT_EQ(panel.y(), available.top() + 4);

    rig.prefs.setBool(LockInDisplay::kEnabledKey, false);
    EXPECT_FALSE(hud.isEnabled());
}

// Counts the repaints and layouts a widget is asked for.
class RedrawCounter final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::LayoutRequest) {
            ++count;
        }
        return false;
    }
};

TEST_F(PopoverTest, OnboardingStartsOnceThePermissionIsThereAndOpensToday)
{
    int todays = 0;
    OnboardingController onboarding(*rig.engine, [&] { ++todays; });
    rig.workspace.trusted = false;
    onboarding.show();
    OnboardingView* window = onboarding.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Welcome to Kestrove");
    EXPECT_TRUE(rig.engine->permissions().isPolling());
    onboarding.show();
    EXPECT_EQ(onboarding.window(), window);

    // The once-a-second refresh that finds nothing new neither repaints nor lays out the window.
    QCoreApplication::processEvents();
    RedrawCounter redraws;
    window->installEventFilter(&redraws);
    QCoreApplication::processEvents();
    const int settled = redraws.count;
    window->refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(redraws.count, settled);
    window->chooseGoal(5);
    QCoreApplication::processEvents();
    EXPECT_GT(redraws.count, settled);
    window->removeEventFilter(&redraws);

    QAbstractButton* primary = button(*window, "Continue");
    ASSERT_NE(primary, nullptr);
    EXPECT_FALSE(primary->isEnabled());
    window->goOn();
    EXPECT_EQ(window->model().step(), OnboardingModel::Step::permissions);

    rig.workspace.trusted = true;
    button(*window, "Grant")->click();
    EXPECT_TRUE(primary->isEnabled());
    primary->click();
    button(*window, "6h")->click();
    EXPECT_EQ(rig.engine->goal().dailyGoalHours(), 6.0);
    primary->click();
    EXPECT_EQ(primary->text(), "Start");
    primary->click();
    EXPECT_EQ(rig.prefs.boolValue(OnboardingModel::kCompleteKey), true);
    EXPECT_EQ(todays, 1);
    EXPECT_EQ(onboarding.window(), nullptr);
    EXPECT_FALSE(rig.engine->permissions().isPolling());
}

namespace {

TEST(ElidedTextTest, WrapsOntoItsLinesAndCutsOnlyTheLast)
{
    testing_support::ensureApplication();
    ElidedText text("Neutral: an application you have not classed, counted neither as work nor "
                    "as a distraction, while it stays in front",
                    11, QFont::Normal, Qt::white);
    text.setMaximumLines(2);
    const QFontMetrics metrics(text.font());
    text.resize(180, text.heightForWidth(180));

    const QStringList lines = text.shownText().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(lines[0].endsWith(QChar(0x2026)));
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), 180) << line.toStdString();
    }
    EXPECT_EQ(text.height(), 2 * metrics.lineSpacing() - metrics.leading());

    // A text that fits keeps one line and its height.
    text.setText("Deep: your editor");
    EXPECT_EQ(text.shownText(), "Deep: your editor");
    EXPECT_EQ(text.heightForWidth(180), metrics.height());
}

} // namespace
