#include "Views/PlainText.h"
#include "ViewsTestSupport.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

#include <gtest/gtest.h>

namespace kestrove {
namespace {

using namespace testing_support;

TEST(ThemeTest, ApplicationFontIsInstalledAndItsDigitsShareOneWidth)
{
    ensureApplication();
    EXPECT_EQ(QApplication::font().family(), kFontFamily);
    for (const QFont::Weight weight : {QFont::Normal, QFont::DemiBold, QFont::Bold}) {
        for (const int size : {11, 12, 17, 28}) {
            const QFont font = uiFont(size, weight);
            // A missing font package would fall back to some other family.
            ASSERT_EQ(QFontInfo(font).family(), kFontFamily);
            EXPECT_EQ(QFontInfo(font).pixelSize(), size);
            const QFontMetricsF metrics(font);
            const qreal zero = metrics.horizontalAdvance(QChar('0'));
            for (char digit = '1'; digit <= '9'; ++digit) {
                EXPECT_DOUBLE_EQ(metrics.horizontalAdvance(QChar(digit)), zero)
                    << digit << " at " << size << " px, weight " << weight;
            }
            // A running clock keeps its width from one second to the next.
            EXPECT_DOUBLE_EQ(metrics.horizontalAdvance("11:11"),
                             metrics.horizontalAdvance("08:59"));
        }
    }
}

TEST(ThemeTest, StandardWidgetsFollowTheDarkLook)
{
    QApplication& app = ensureApplication();
    const auto* style = qobject_cast<const QProxyStyle*>(app.style());
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->baseStyle()->name().toLower(), "fusion");
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(palette.color(QPalette::Window), KS::ink());
    EXPECT_EQ(palette.color(QPalette::Base), KS::surface());
    EXPECT_EQ(palette.color(QPalette::Text), KS::text());
    EXPECT_EQ(palette.color(QPalette::Highlight), KS::deep());
    EXPECT_EQ(palette.color(QPalette::PlaceholderText), KS::textTertiary());
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), KS::surface2());
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), KS::text());
}

TEST(ThemeTest, TextFieldsHaveRoundedVisibleFrames)
{
    ensureApplication();
    QLineEdit field;
    field.resize(200, 32);
    QImage image(field.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(KS::ink());
    field.render(&image, {}, {}, QWidget::DrawChildren);
    // The corner lies outside the rounded panel; the top edge carries a hairline lighter than
    // the field's own fill, which is lighter than the ink around it.
    EXPECT_EQ(image.pixelColor(0, 0), KS::ink());
    const QColor edge = image.pixelColor(100, 0);
    const QColor fill = image.pixelColor(100, 16);
    EXPECT_EQ(fill, KS::surface());
    EXPECT_GT(edge.lightness(), fill.lightness());

    QLineEdit frameless;
    frameless.setFrame(false);
    frameless.resize(200, 32);
    image.fill(KS::ink());
    frameless.render(&image, {}, {}, QWidget::DrawChildren);
    EXPECT_EQ(image.pixelColor(100, 0), image.pixelColor(100, 16));
}

TEST(ThemeTest, NamedColoursKeepTheirOpacityApart)
{
    EXPECT_EQ(KS::textSecondary().rgb(), QColor(0xEE, 0xF0, 0xF6).rgb());
    EXPECT_NEAR(KS::textSecondary().alphaF(), 0.62, 0.003);
    EXPECT_EQ(KS::unassignedColor().rgb(), KS::neutral().rgb());
    EXPECT_NEAR(KS::unassignedColor().alphaF(), 0.22, 0.003);
    EXPECT_NEAR(KS::neutral().alphaF(), 0.28, 0.003);
    EXPECT_EQ(&KS::ink(), &KS::ink()); // made once, then shared
    EXPECT_EQ(KS::projectColor("violet"), QColor(0x9C, 0x8C, 0xFF));
    EXPECT_EQ(KS::projectColor(" violet"), QColor(0x6C, 0x72, 0x85));
}

TEST(ThemeTest, UntrustedTextStaysLiteral)
{
    ensureApplication();
    const QString names[] = {"<b>x</b>", "a &amp; b", "Tom & Jerry", "<img src=\"x\">",
                             "two  spaces"};
    for (const QString& name : names) {
        QLabel* label = plainLabel(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        // Rendered as markup, "<b>x</b>" would be one bold letter wide.
        EXPECT_GE(label->sizeHint().width(),
                  static_cast<int>(QFontMetricsF(label->font()).horizontalAdvance(name)) - 1)
            << name.toStdString();
        delete label;

        QTextDocument tip;
        tip.setHtml(plainToolTip(name));
        EXPECT_EQ(tip.toPlainText(), name) << name.toStdString();
    }
    EXPECT_EQ(plainToolTip(""), "");
}

} // namespace
} // namespace kestrove
