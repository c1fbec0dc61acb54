#include "Views/Share/ShareCardView.h"

#include "ViewLogic/Share/ShareCardLayout.h"
#include "Views/Components/DepthStrip.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/Theme.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

namespace kestrove {

namespace {

constexpr double kInset = 56;
constexpr double kContentWidth = kShareCardWidth - 2 * kInset;
constexpr double kRightColumnWidth = 360;
constexpr double kColumnGap = 60;
// The hero column takes what the right column leaves, so both stay inside the inset.
constexpr double kHeroWidth = kContentWidth - kRightColumnWidth - kColumnGap;
constexpr double kFigureHeight = 160;
constexpr double kStripBandHeight = 64;
constexpr double kAxisGap = 6;
constexpr double kAxisHeight = 12;
constexpr double kWeekChartHeight = 140;
constexpr double kFooterGap = 22;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QFont cardFont(int size, QFont::Weight weight, double tracking = 0)
{
    QFont font = uiFont(size, weight);
    if (tracking != 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    }
    return font;
}

// Draws `text` with its baseline at `baseline`, starting at x; returns its advance.
double drawLine(QPainter& painter, const QFont& font, const QColor& colour, double x,
                double baseline, const QString& text)
{
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(x, baseline), text);
    return QFontMetricsF(font).horizontalAdvance(text);
}

QString elided(const QFont& font, const QString& text, double width)
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

void paintBackground(QPainter& painter)
{
    const QRectF card(0, 0, kShareCardWidth, kShareCardHeight);
    painter.fillRect(card, KS::ink());
    const auto glow = [&](QPointF unit, const QColor& colour, double alpha, double from,
                          double to) {
        const QPointF centre(unit.x() * kShareCardWidth, unit.y() * kShareCardHeight);
        QRadialGradient gradient(centre, to);
        QColor inner = colour;
        inner.setAlphaF(static_cast<float>(alpha));
        QColor outer = colour;
        outer.setAlphaF(0);
        gradient.setColorAt(0, inner);
        gradient.setColorAt(from / to, inner);
        gradient.setColorAt(1, outer);
        painter.fillRect(card, gradient);
    };
    glow({0.12, 1.05}, KS::deep(), 0.28, 20, 620);
    glow({0.9, -0.1}, KS::deepDark(), 0.18, 10, 500);
}

// The eyebrow on the left and the title on the right, on one baseline; returns the row's bottom.
double paintTitleRow(QPainter& painter, const ShareCardData& data)
{
    const QFont eyebrow = cardFont(15, QFont::DemiBold, 2.6);
    const QFont title = cardFont(17, QFont::Medium);
    const QFontMetricsF eyebrowMetrics(eyebrow);
    const QFontMetricsF titleMetrics(title);
    const double ascent = std::max(eyebrowMetrics.ascent(), titleMetrics.ascent());
    const double baseline = kInset + ascent;
    drawLine(painter, eyebrow, KS::textTertiary(), kInset, baseline, qs(data.eyebrow).toUpper());
    const QString titleText = qs(data.title);
    drawLine(painter, title, KS::textSecondary(),
             kInset + kContentWidth - titleMetrics.horizontalAdvance(titleText), baseline,
             titleText);
    return baseline + std::max(eyebrowMetrics.descent(), titleMetrics.descent());
}

// The figure, the headline and the subline; returns the column's bottom.
double paintHeroColumn(QPainter& painter, const ShareCardData& data,
                       const ShareCardFigures& figures, double top)
{
    const QFont value = cardFont(172, QFont::ExtraBold, -8);
    const QFont unit = cardFont(40, QFont::DemiBold);
    // The figure sits on the bottom of its frame.
    const double baseline = top + kFigureHeight - QFontMetricsF(value).descent();
    const double advance =
        drawLine(painter, value, KS::text(), kInset, baseline, qs(figures.heroValue));
    drawLine(painter, unit, KS::textSecondary(), kInset + advance + 14, baseline - 6,
             qs(figures.heroUnit));

    double y = top + kFigureHeight + 14;
    const QFont headline = cardFont(26, QFont::DemiBold);
    const QFontMetricsF headlineMetrics(headline);
    const QRectF room(kInset, y, kHeroWidth, 2 * headlineMetrics.lineSpacing());
    const QRectF needed = headlineMetrics.boundingRect(room, Qt::TextWordWrap, qs(data.headline));
    const double height = std::min(needed.height(), room.height());
    painter.save();
    painter.setClipRect(QRectF(room.left(), room.top(), room.width(), height));
    painter.setFont(headline);
    painter.setPen(KS::text());
    painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, qs(data.headline));
    painter.restore();
    y += height;

    if (data.subline) {
        const QFont subline = cardFont(19, QFont::Normal);
        const QFontMetricsF metrics(subline);
        y += 14;
        drawLine(painter, subline, KS::textSecondary(), kInset, y + metrics.ascent(),
                 elided(subline, qs(*data.subline), kHeroWidth));
        y += metrics.height();
    }
    return y;
}

double paintProjectRow(QPainter& painter, const ShareCardData& data, const CardProjectRow& row,
                       double x, double top)
{
    const QFont name = cardFont(19, QFont::DemiBold);
    const QFont time = cardFont(16, QFont::Medium);
    const QFontMetricsF nameMetrics(name);
    const QFontMetricsF timeMetrics(time);
    const double lineHeight = std::max(nameMetrics.height(), timeMetrics.height());
    const double middle = top + lineHeight / 2;
    const QString duration = qs(row.duration);
    const double durationWidth = timeMetrics.horizontalAdvance(duration);
    drawLine(painter, time, KS::textSecondary(), x + kRightColumnWidth - durationWidth,
             middle + (timeMetrics.ascent() - timeMetrics.descent()) / 2, duration);
    drawLine(painter, name, KS::text(), x,
             middle + (nameMetrics.ascent() - nameMetrics.descent()) / 2,
             elided(name, qs(row.name), kRightColumnWidth - durationWidth - 8));

    const double barTop = top + lineHeight + 7;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(QRectF(x, barTop, kRightColumnWidth, 6)), QColor(255, 255, 255, 18));
    const QColor fill = row.unassigned ? KS::unassignedColor() : KS::projectColor(row.color);
    const double width = projectBarWidth(row.seconds, data.deepSeconds, kRightColumnWidth);
    painter.fillPath(capsule(QRectF(x, barTop, width, 6)), fill);
    painter.restore();
    return barTop + 6;
}

double statsHeight()
{
    return QFontMetricsF(cardFont(26, QFont::Bold)).height() + 3 +
           QFontMetricsF(cardFont(13, QFont::Normal)).height();
}

void paintStats(QPainter& painter, const std::vector<CardStat>& stats, double x, double top)
{
    const QFont value = cardFont(26, QFont::Bold);
    const QFont label = cardFont(13, QFont::Normal);
    const QFontMetricsF valueMetrics(value);
    const QFontMetricsF labelMetrics(label);
    for (const CardStat& stat : stats) {
        const double valueWidth =
            drawLine(painter, value, KS::text(), x, top + valueMetrics.ascent(), qs(stat.value));
        const double labelWidth =
            drawLine(painter, label, KS::textTertiary(), x,
                     top + valueMetrics.height() + 3 + labelMetrics.ascent(), qs(stat.label));
        x += std::max(valueWidth, labelWidth) + 28;
    }
}

void paintRightColumn(QPainter& painter, const ShareCardFigures& figures, const ShareCardData& data,
                      double top, double bottom)
{
    const double x = kInset + kHeroWidth + kColumnGap;
    double y = top;
    if (!figures.projects.empty()) {
        const QFont caption = cardFont(12, QFont::DemiBold, 2);
        const QFontMetricsF metrics(caption);
        drawLine(painter, caption, KS::textTertiary(), x, y + metrics.ascent(),
                 ShareCardTexts::kWhereItWent);
        y += metrics.height();
        for (const CardProjectRow& row : figures.projects) {
            y = paintProjectRow(painter, data, row, x, y + 18);
        }
    }
    // The statistics stand at the foot of the hero column, never closer than 18 to the rows.
    const double statsTop =
        std::max(bottom - statsHeight(), figures.projects.empty() ? top : y + 18);
    paintStats(painter, figures.stats, x, statsTop);
}

void paintWeekChart(QPainter& painter, const std::vector<CardWeekColumn>& columns, double top)
{
    if (columns.empty()) {
        return;
    }
    const double spacing = 14;
    const double width =
        (kContentWidth - spacing * static_cast<double>(columns.size() - 1)) / columns.size();
    const QFont amount = cardFont(12, QFont::Medium);
    const QFont weekday = cardFont(13, QFont::Medium);
    const QFontMetricsF amountMetrics(amount);
    const QFontMetricsF weekdayMetrics(weekday);
    const double bottom = top + kWeekChartHeight;
    const double weekdayTop = bottom - weekdayMetrics.height();
    const double trackBottom = weekdayTop - 8;
    const double trackTop = trackBottom - ShareCardFigures::kWeekTrackHeight;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const CardWeekColumn& column = columns[i];
        const double x = kInset + static_cast<double>(i) * (width + spacing);
        const QRectF track(x, trackTop, width, ShareCardFigures::kWeekTrackHeight);
        painter.fillPath(continuousRoundedRect(track, 6), QColor(255, 255, 255, 13));
        if (column.barHeight > 0) {
            const QRectF bar(x, trackBottom - column.barHeight, width, column.barHeight);
            QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
            gradient.setColorAt(0, KS::deepLight());
            gradient.setColorAt(0.5, KS::deep());
            gradient.setColorAt(1, KS::deepDark());
            painter.fillPath(continuousRoundedRect(bar, std::min(6.0, column.barHeight / 2)),
                             gradient);
        }
        const auto centred = [&](const QFont& font, const QFontMetricsF& metrics, double lineTop,
                                 const std::string& text, const QColor& colour) {
            const QString line = qs(text);
            drawLine(painter, font, colour, x + (width - metrics.horizontalAdvance(line)) / 2,
                     lineTop + metrics.ascent(), line);
        };
        centred(amount, amountMetrics, trackTop - 8 - amountMetrics.height(), column.amount,
                KS::textTertiary());
        centred(weekday, weekdayMetrics, weekdayTop, column.weekday, KS::textSecondary());
    }
    painter.restore();
}

void paintFooter(QPainter& painter, const ShareCardFigures& figures)
{
    const QFont brand = cardFont(14, QFont::DemiBold);
    const QFont small = cardFont(14, QFont::Medium);
    const QFontMetricsF metrics(brand);
    const double bottom = kShareCardHeight - kInset;
    const double baseline = bottom - metrics.descent();
    const double middle = bottom - metrics.height() / 2;
    paintSymbol(painter, u"water.waves", QRectF(kInset, middle - 8, 16, 16), KS::deep());
    drawLine(painter, brand, KS::textSecondary(), kInset + 16 + 8, baseline,
             ShareCardTexts::kBrand);

    double right = kInset + kContentWidth;
    const QFontMetricsF smallMetrics(small);
    if (figures.handle) {
        const QString handle = qs(*figures.handle);
        right -= smallMetrics.horizontalAdvance(handle);
        drawLine(painter, small, KS::textTertiary(), right, baseline, handle);
        right -= 18;
    }
    if (figures.goal) {
        const QString goal = qs(*figures.goal);
        right -= smallMetrics.horizontalAdvance(goal);
        drawLine(painter, small, KS::textTertiary(), right, baseline, goal);
    }
}

} // namespace

void paintShareCard(QPainter& painter, const ShareCardData& data, const std::string& locale)
{
    const ShareCardFigures figures = shareCardFigures(data, locale);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintBackground(painter);
    const double mainTop = paintTitleRow(painter, data) + 30;
    const double heroBottom = paintHeroColumn(painter, data, figures, mainTop);
    paintRightColumn(painter, figures, data, mainTop, heroBottom);

    // The period graphic stands on the footer, with a fixed gap between them.
    const double footerTop = kShareCardHeight - kInset - QFontMetricsF(uiFont(14)).height();
    const double graphicBottom = footerTop - kFooterGap;
    if (figures.showsStrip) {
        const double bandTop = graphicBottom - kAxisHeight - kAxisGap - kStripBandHeight;
        const QRectF band(kInset, bandTop, kContentWidth, kStripBandHeight);
        paintDepthBand(painter, band, data.strip, *data.stripRange);
        paintDepthAxis(painter, QPointF(kInset, band.bottom() + kAxisGap), kContentWidth,
                       *data.stripRange);
    } else {
        paintWeekChart(painter, figures.week, graphicBottom - kWeekChartHeight);
    }
    paintFooter(painter, figures);
    painter.restore();
}

QImage renderShareCard(const ShareCardData& data, const std::string& locale)
{
    QImage image(static_cast<int>(kShareCardWidth * kShareCardScale),
                 static_cast<int>(kShareCardHeight * kShareCardScale),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    image.setDevicePixelRatio(kShareCardScale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintShareCard(painter, data, locale);
    painter.end();
    return image;
}

std::optional<QByteArray> pngData(const QImage& image)
{
    if (image.isNull()) {
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace kestrove
