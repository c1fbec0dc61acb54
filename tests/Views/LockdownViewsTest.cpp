#include "Views/Lockdown/BlockingOverlayView.h"
#include "Views/Lockdown/OverlayParts.h"
#include "Views/Lockdown/TimeUpView.h"
#include "ViewsTestSupport.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using namespace testing_support;

const std::string kSentence(BlockingOverlayModel::kBreakoutSentence);

QPushButton* button(QWidget& view, const char* name)
{
    return view.findChild<QPushButton*>(name);
}

struct Answers
{
    int allowed = 0;
    int dismissed = 0;
    int brokenOut = 0;

    OverlayScreens::WallActions actions(bool canAllow)
    {
        OverlayScreens::WallActions result;
        if (canAllow) {
            result.allow = [this] { ++allowed; };
        }
        result.dismiss = [this] { ++dismissed; };
        result.breakOut = [this] { ++brokenOut; };
        return result;
    }
};

TEST(LockdownViewsTest, WallOffersItsAnswersAndShowsNamesAsTheyAre)
{
    ensureApplication();
    struct Case
    {
        bool canAllow;
        std::optional<std::string> name;
        const char* allowLabel; // nullptr: no allow button
    };
    const Case cases[] = {
        {true, "Chat<b>ter</b>", "I need Chat<b>ter</b> for this"},
        {true, std::nullopt, "I need this app for this"},
        {false, "Chatter", nullptr},
    };
    for (const Case& c : cases) {
        Answers answers;
        BlockingOverlayView view({"<i>Not</i> now.", c.name, c.canAllow},
                                 answers.actions(c.canAllow), 0);
        auto* callout = view.findChild<QLabel*>("callout");
        ASSERT_TRUE(callout);
        EXPECT_EQ(callout->textFormat(), Qt::PlainText);
        EXPECT_EQ(callout->text(), "<i>Not</i> now.");
        QPushButton* allow = button(view, "allow");
        if (!c.allowLabel) {
            EXPECT_EQ(allow, nullptr);
            continue;
        }
        ASSERT_TRUE(allow);
        EXPECT_EQ(allow->text(), c.allowLabel);
        allow->click();
        EXPECT_EQ(answers.allowed, 1);
        // Return on the callout card is "OK, back to work".
        view.activateDefault();
        EXPECT_EQ(answers.dismissed, 1);
    }
}

TEST(LockdownViewsTest, BreakOutNeedsTheSentenceAndCancelStartsOver)
{
    ensureApplication();
    Answers answers;
    BlockingOverlayView view({"Not now.", "Chatter", true}, answers.actions(true), 0);
    QPushButton* breakOut = button(view, "breakOut");
    button(view, "typeEscape")->click();
    ASSERT_TRUE(view.isBreakOutCardShown());
    EXPECT_FALSE(breakOut->isEnabled());

    view.escapeField()->setPlainText("I am knowingly deciding");
    EXPECT_FALSE(breakOut->isEnabled());
    // Return on this card only types a line break: the wall stays.
    view.activateDefault();
    EXPECT_EQ(answers.dismissed, 0);

    button(view, "cancel")->click();
    EXPECT_FALSE(view.isBreakOutCardShown());
    button(view, "typeEscape")->click();
    EXPECT_EQ(view.escapeField()->toPlainText(), "");
    EXPECT_FALSE(breakOut->isEnabled());

    view.escapeField()->setPlainText("  I AM  knowingly deciding to abandon my focused work "
                                     "block\nand spend my later self's time. ");
    EXPECT_TRUE(breakOut->isEnabled());
    breakOut->click();
    EXPECT_EQ(answers.brokenOut, 1);
    EXPECT_EQ(answers.dismissed, 0);
}

TEST(LockdownViewsTest, RefusedBreakOutJoltsTheFieldWhichComesToRest)
{
    ensureApplication();
    Answers answers;
    BlockingOverlayView view({"Not now.", "Chatter", true}, answers.actions(true), 0);
    view.resize(1024, 768);
    button(view, "typeEscape")->click();
    view.escapeField()->setPlainText(
        QString::fromStdString(kSentence.substr(0, kSentence.size() - 1))); // no full stop

    // Not on screen: the field goes straight to where it rests.
    view.pressBreakOut();
    EXPECT_EQ(view.fieldOffset(), -8);
    EXPECT_EQ(answers.brokenOut, 0);

    // On screen it swings back past its place and settles there.
    view.show();
    double furthest = -8;
    view.pressBreakOut();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            furthest = std::max(furthest, view.fieldOffset());
            return view.fieldOffset() == 0 && furthest > 0;
        },
        2000))
        << "offset " << view.fieldOffset() << ", furthest " << furthest;
    EXPECT_EQ(answers.brokenOut, 0);
}

TEST(LockdownViewsTest, StepperStopsAtItsBoundsAndExtendsByItsMinutes)
{
    ensureApplication();
    long long extendedBy = 0;
    TimeUpView view("Essay", {{}, [&](long long minutes) { extendedBy = minutes; }}, {});
    auto* minutes = view.findChild<QLabel*>("minutes");
    QPushButton* fewer = button(view, "fewerMinutes");
    QPushButton* more = button(view, "moreMinutes");
    EXPECT_EQ(minutes->text(), "15 more minutes");
    fewer->click();
    fewer->click();
    EXPECT_EQ(minutes->text(), "5 more minutes");
    EXPECT_FALSE(fewer->isEnabled());
    for (int i = 0; i < 30; ++i) {
        more->click();
    }
    EXPECT_EQ(minutes->text(), "120 more minutes");
    EXPECT_FALSE(more->isEnabled());
    EXPECT_TRUE(fewer->isEnabled());
    button(view, "addTime")->click();
    EXPECT_EQ(extendedBy, 120);
}

TEST(LockdownViewsTest, CelebrationShowsTheCapturedFiguresAndThenEndsTheTask)
{
    ensureApplication();
    struct Case
    {
        std::optional<SessionStats> captured;
        QStringList figures;
        QString name;
    };
    const Case cases[] = {
        {SessionStats{"<b>Essay</b>", 3 * 3600 + 5 * 60, 59, 72.5},
         {"3h 5m", "59s", "73"},
         "<b>Essay</b>"},
        // The task went before the answer: the prompt's own name, nothing counted.
        {std::nullopt, {"0s", "0s"}, "Prompt <i>name</i>"},
    };
    for (const Case& c : cases) {
        int done = 0;
        TimeUpView view("Prompt <i>name</i>", {[&] { ++done; }, {}}, [&] { return c.captured; });
        view.activateDefault(); // "Yes, I'm done"
        EXPECT_EQ(done, 0) << "the task runs on until \"Done\"";
        auto* name = view.findChild<QLabel*>("celebratedName");
        EXPECT_EQ(name->textFormat(), Qt::PlainText);
        EXPECT_EQ(name->text(), c.name);
        QStringList figures;
        for (const QLabel* figure : view.findChildren<QLabel*>("figure")) {
            figures << figure->text();
        }
        EXPECT_EQ(figures, c.figures);
        view.activateDefault(); // "Done"
        EXPECT_EQ(done, 1);
    }
}

TEST(LockdownViewsTest, BackdropFrostsTheScreenPictureOrIsInk)
{
    ensureApplication();
    // Left half black, right half white.
    QImage screen(480, 240, QImage::Format_RGB32);
    screen.fill(Qt::black);
    QPainter(&screen).fillRect(240, 0, 240, 240, Qt::white);

    const auto paint = [](const FrostedBackdrop& backdrop) {
        QImage out(480, 240, QImage::Format_RGB32);
        QPainter painter(&out);
        backdrop.paint(painter, out.rect());
        return out;
    };
    const QImage frosted = paint(FrostedBackdrop(screen));
    const int left = qGray(frosted.pixel(20, 120));
    const int edge = qGray(frosted.pixel(240, 120));
    const int right = qGray(frosted.pixel(460, 120));
    EXPECT_LT(left, edge);
    EXPECT_LT(edge, right);
    // Blurred: the sharp edge is a soft ramp; dimmed: white is far from white.
    EXPECT_GT(edge - left, 20);
    EXPECT_GT(right - edge, 20);
    EXPECT_LT(right, 140);

    const QImage plain = paint(FrostedBackdrop(QImage()));
    EXPECT_TRUE(near(plain.pixelColor(460, 120), KS::ink()));
    EXPECT_FALSE(FrostedBackdrop(QImage(8, 8, QImage::Format_RGB32)).hasPicture());
}

} // namespace
} // namespace kestrove
