#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/ProgressRingView.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/StatChip.h"
#include "Views/Components/Waterline.h"
#include "ViewsTestSupport.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace kestrove {
namespace {

using namespace testing_support;

TEST(ComponentsTest, ProjectDotPaintsItsKeysColour)
{
    ensureApplication();
    struct Case
    {
        std::optional<std::string> key;
        QColor expected;
    };
    const Case cases[] = {
        {std::nullopt, KS::unassignedColor()},
        {"violet", QColor(0x9C, 0x8C, 0xFF)},
        {"Violet", QColor(0x6C, 0x72, 0x85)},
        {"", QColor(0x6C, 0x72, 0x85)},
    };
    for (const Case& c : cases) {
        ProjectDot dot(c.key, 10);
        const QImage image = paintOnInk(dot);
        const QColor centre = image.pixelColor(5, 5);
        EXPECT_TRUE(near(centre, overInk(c.expected)))
            << (c.key ? *c.key : "no key") << ": " << centre.name().toStdString();
    }
}

TEST(ComponentsTest, WaterlineFillFollowsProgressButStaysADot)
{
    ensureApplication();
    Waterline bar(0, 6, KS::deepGradient());
    bar.resize(200, 6);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> cases[] = {{0, 6},     {-1, 6},  {nan, 6},
                                               {0.5, 100}, {1, 200}, {1.5, 200}};
    for (const auto& [progress, width] : cases) {
        bar.setProgress(progress);
        EXPECT_DOUBLE_EQ(bar.fillWidth(), width) << progress;
    }

    // Painted: at half, the right quarter shows only the track.
    bar.setProgress(0.5);
    const QImage half = paintOnInk(bar);
    EXPECT_TRUE(near(half.pixelColor(150, 3), overInk(KS::track())));
    EXPECT_GT(half.pixelColor(50, 3).blue(), 150);
    // At zero, a dot at the leading end and nothing further.
    bar.setProgress(0);
    const QImage empty = paintOnInk(bar);
    EXPECT_GT(empty.pixelColor(3, 3).blue(), 150);
    EXPECT_TRUE(near(empty.pixelColor(20, 3), overInk(KS::track())));
}

// The colour on the ring's centre line at an angle measured clockwise from twelve o'clock.
QColor ringAt(const QImage& image, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180;
    const double radius = 45; // a 100-point frame, line width 10
    return image.pixelColor(static_cast<int>(std::lround(50 + radius * std::sin(radians))),
                            static_cast<int>(std::lround(50 - radius * std::cos(radians))));
}

TEST(ComponentsTest, RingGrowsClockwiseFromTwelve)
{
    ensureApplication();
    ProgressRingView ring(0.25, 10);
    ring.resize(100, 100);
    const QImage quarter = paintOnInk(ring);
    const QColor track = overInk(KS::track());
    EXPECT_GT(ringAt(quarter, 20).blue(), 150);
    EXPECT_GT(ringAt(quarter, 70).blue(), 150);
    EXPECT_TRUE(near(ringAt(quarter, 135), track)); // not past three o'clock
    EXPECT_TRUE(near(ringAt(quarter, 300), track)); // and not anticlockwise

    ring.setProgress(0);
    const QImage none = paintOnInk(ring);
    EXPECT_TRUE(near(ringAt(none, 45), track));

    ring.setProgress(2);
    const QImage full = paintOnInk(ring);
    for (const double degrees : {45.0, 135.0, 225.0, 300.0}) {
        EXPECT_GT(ringAt(full, degrees).blue(), 150) << degrees;
    }
}

// Records the presses that reach it, as the parent of a pill.
class PressRecorder : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST(ComponentsTest, OnlyThePillsCapsuleTakesClicks)
{
    ensureApplication();
    PressRecorder parent;
    parent.resize(200, 100);
    auto* pill = new PillButton("Start", {true}, &parent);
    pill->setGeometry(10, 10, 100, 30);
    parent.show();
    QSignalSpy clicked(pill, &QAbstractButton::clicked);

    QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(1, 15));
    QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(50, 0));
    EXPECT_EQ(clicked.count(), 3);
    EXPECT_EQ(parent.presses, 0);

    // The corners outside the capsule belong to whatever lies beneath.
    QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseClick(pill, Qt::LeftButton, {}, QPoint(98, 28));
    EXPECT_EQ(clicked.count(), 3);
    EXPECT_EQ(parent.presses, 2);
}

TEST(ComponentsTest, PressedPillsDimAndPlainOnesBrighten)
{
    ensureApplication();
    // A point on the fill away from the label.
    const QPoint onFill(8, 15);
    for (const bool prominent : {true, false}) {
        PillButton pill("Go", {prominent});
        pill.resize(100, 30);
        const QColor up = paintOnInk(pill).pixelColor(onFill);
        pill.setDown(true);
        const QColor down = paintOnInk(pill).pixelColor(onFill);
        if (prominent) {
            // The gradient stays and only fades a little towards the background.
            EXPECT_LT(down.blue(), up.blue());
            EXPECT_NEAR(down.blue() - KS::ink().blue(), (up.blue() - KS::ink().blue()) * 0.85, 3);
        } else {
            EXPECT_GT(down.red(), up.red());
        }
        // A disabled pill reads as unavailable: its fill is well faded, pressed or not.
        pill.setDown(false);
        pill.setEnabled(false);
        const QColor disabled = paintOnInk(pill).pixelColor(onFill);
        EXPECT_NEAR(disabled.blue() - KS::ink().blue(), (up.blue() - KS::ink().blue()) * 0.4, 3)
            << (prominent ? "prominent" : "plain");
    }
}

TEST(ComponentsTest, TextComponentsShowMarkupAsCharacters)
{
    ensureApplication();
    const QString name = "<b>x</b>";
    SectionHeader header(name);
    EXPECT_EQ(header.sizeHint().width(),
              QFontMetrics(uiFont(14, QFont::DemiBold)).horizontalAdvance(name));
    EmptyHint hint(name);
    EXPECT_EQ(hint.sizeHint().width(), QFontMetrics(uiFont(12)).horizontalAdvance(name));
    Eyebrow eyebrow(name, KS::deep());
    EXPECT_EQ(eyebrow.shownText(), "<B>X</B>");
}

TEST(ComponentsTest, TextComponentsKeepTheirSizes)
{
    ensureApplication();
    // The eyebrow is in capitals whatever the input's case, by Unicode's rules.
    EXPECT_EQ(Eyebrow("Deep work today", KS::deep()).shownText(), "DEEP WORK TODAY");
    EXPECT_EQ(Eyebrow(QString::fromUtf8("straße"), KS::deep()).shownText(), "STRASSE");

    // A chip is never narrower than 84, and grows with its text on one line.
    EXPECT_EQ(StatChip("Deep", "2h", KS::deep()).sizeHint().width(), 84);
    const StatChip wide("Deep", "12h 48m of deep work today", KS::deep());
    EXPECT_GT(wide.sizeHint().width(), 84);
    EXPECT_EQ(wide.sizeHint().height(), StatChip("Deep", "2h", KS::deep()).sizeHint().height());

    // No trailing text leaves no room for one.
    const SectionHeader plain("Focus blocks");
    const SectionHeader trailing("Focus blocks", QString("4"));
    EXPECT_EQ(plain.sizeHint().width(),
              QFontMetrics(uiFont(14, QFont::DemiBold)).horizontalAdvance("Focus blocks"));
    EXPECT_GT(trailing.sizeHint().width(), plain.sizeHint().width());

    // An empty hint is at least 44 high and wraps a long text onto more lines.
    const EmptyHint hint("Nothing yet. A block starts after twenty-five minutes of deep work "
                         "without a long interruption.");
    EXPECT_EQ(hint.heightForWidth(2000), 44);
    EXPECT_GT(hint.heightForWidth(120), 44);
}

TEST(ComponentsTest, InfoTipOpensAndClosesByClicking)
{
    ensureApplication();
    QWidget window;
    auto* tip = new InfoTip("Focus blocks", "A block is 25 minutes of deep work.", &window);
    tip->setGeometry(100, 20, 12, 12);
    window.resize(400, 200);
    window.show();
    EXPECT_FALSE(tip->isShowing());

    QTest::mouseClick(tip, Qt::LeftButton);
    ASSERT_TRUE(tip->isShowing());
    EXPECT_EQ(tip->popover()->width(), InfoTipPopover::kWidth);
    // Below the icon, centred on it.
    const QPoint iconBottom = tip->mapToGlobal(QPoint(tip->width() / 2, tip->height()));
    EXPECT_EQ(tip->popover()->geometry().top(), iconBottom.y());
    EXPECT_EQ(tip->popover()->geometry().center().x(), iconBottom.x() - 1);

    // Dismissed from outside: closed, and the next click opens it again.
    tip->popover()->close();
    EXPECT_FALSE(tip->isShowing());
    QTest::mouseClick(tip, Qt::LeftButton);
    EXPECT_TRUE(tip->isShowing());
    tip->popover()->close();
}

} // namespace
} // namespace kestrove
