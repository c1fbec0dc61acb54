#include "Views/Components/ReviewCard.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/StatChip.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kCardPadding = 18;

QWidget* swatch(const QColor& colour)
{
    struct Swatch : QWidget
    {
        explicit Swatch(QColor c) : colour(std::move(c)) { setFixedSize(8, 8); }
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.fillPath(continuousRoundedRect(rect(), 2), colour);
        }
        QColor colour;
    };
    return new Swatch(colour);
}

QHBoxLayout* statsRow(const std::vector<StatFigure>& stats)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(22);
    for (const StatFigure& stat : stats) {
        row->addWidget(new StatChip(QString::fromStdString(stat.label),
                                    QString::fromStdString(stat.value),
                                    stat.accent ? KS::deepLight() : KS::text()),
                       0, Qt::AlignTop);
    }
    row->addStretch(1);
    return row;
}

// "What to change" and its rows, under a rule.
void addLines(QVBoxLayout* column, const std::vector<ReviewLine>& lines)
{
    column->addWidget(hairline(KS::borderSoft()));
    auto* stack = new QVBoxLayout;
    stack->setSpacing(10);
    stack->addWidget(new Eyebrow("What to change", KS::textTertiary()));
    for (const ReviewLine& line : lines) {
        stack->addWidget(new ReviewRow(line));
    }
    column->addLayout(stack);
}

QHBoxLayout* deskRow(const std::string& atDesk, int figureSize,
                     const std::optional<std::string>& share)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(pageText(QString::fromStdString(atDesk), figureSize, QFont::Black, KS::text()),
                   0, Qt::AlignBaseline);
    row->addWidget(pageText("at the desk", 13, QFont::Normal, KS::textSecondary()), 0,
                   Qt::AlignBaseline);
    row->addStretch(1);
    if (share) {
        row->addWidget(pageText(QString::fromStdString(*share), 12, QFont::Normal, KS::deepLight()),
                       0, Qt::AlignBaseline);
    }
    return row;
}

// The widget is the card: its content sits in a KSCard that fills it.
QVBoxLayout* cardColumn(QWidget* owner, int spacing)
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    auto* outer = new QVBoxLayout(owner);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(ksCard(content, kCardPadding));
    return column;
}

} // namespace

KindBar::KindBar(const DaySummary& summary, QWidget* parent)
    : QWidget(parent), m_parts(kindParts(summary))
{
    setFixedHeight(10);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void KindBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::vector<double> widths = kindBarWidths(m_parts, width());
    double x = 0;
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        painter.fillPath(continuousRoundedRect(QRectF(x, 0, widths[i], height()), 3),
                         KS::kindColor(m_parts[i].kind));
        x += widths[i] + 2;
    }
}

ReviewRow::ReviewRow(const ReviewLine& line, QWidget* parent) : QWidget(parent)
{
    QString symbol;
    QColor symbolColour;
    QColor textColour = KS::textSecondary();
    switch (line.tone) {
    case ReviewLine::Tone::good:
        symbol = "checkmark";
        symbolColour = KS::success();
        break;
    case ReviewLine::Tone::watch:
        symbol = "eye";
        symbolColour = KS::textTertiary();
        break;
    case ReviewLine::Tone::fix:
        symbol = "arrow.turn.down.right";
        symbolColour = KS::shallow();
        textColour = KS::text();
        break;
    }
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(9);
    auto* mark = new QWidget;
    mark->setFixedWidth(12);
    auto* markLayout = new QVBoxLayout(mark);
    markLayout->setContentsMargins(1, 3, 1, 0);
    markLayout->addWidget(new SymbolView(symbol, 10, symbolColour));
    markLayout->addStretch(1);
    row->addWidget(mark, 0, Qt::AlignTop);
    row->addWidget(pageText(QString::fromStdString(line.text), 12, QFont::Normal, textColour, true),
                   1);
}

DayReviewCard::DayReviewCard(const DaySummary& summary, double goalSeconds,
                             const std::vector<DayTotal>& recentDays, bool isToday, QWidget* parent)
    : QWidget(parent), m_figures(dayReviewFigures(summary, goalSeconds, recentDays, isToday))
{
    QVBoxLayout* column = cardColumn(this, 18);

    auto* header = new QHBoxLayout;
    header->addWidget(new SectionHeader(QString::fromStdString(m_figures.title)), 0,
                      Qt::AlignBaseline);
    header->addStretch(1);
    header->addWidget(
        pageText(QString::fromStdString(m_figures.tracked), 11, QFont::Normal, KS::textTertiary()),
        0, Qt::AlignBaseline);
    column->addLayout(header);
    column->addLayout(deskRow(m_figures.atDesk, 30, m_figures.deepShare));
    column->addWidget(new KindBar(summary));

    auto* legend = new QWidget;
    auto* flow = new FlowLayout(14, legend);
    for (std::size_t i = 0; i < m_figures.parts.size(); ++i) {
        auto* entry = new QWidget;
        auto* entryRow = new QHBoxLayout(entry);
        entryRow->setContentsMargins(0, 0, 0, 0);
        entryRow->setSpacing(5);
        entryRow->addWidget(swatch(KS::kindColor(m_figures.parts[i].kind)));
        entryRow->addWidget(pageText(QString::fromStdString(m_figures.legend[i]), 11, QFont::Normal,
                                     KS::textSecondary()));
        flow->addWidget(entry);
    }
    column->addWidget(legend);
    column->addLayout(statsRow(m_figures.stats));
    if (!m_figures.lines.empty()) {
        addLines(column, m_figures.lines);
    }
}

WeekReviewCard::WeekReviewCard(const std::vector<DayTotal>& days, double goalSeconds,
                               const std::vector<DayTotal>& previousWeek, QWidget* parent)
    : QWidget(parent), m_figures(weekReviewFigures(days, goalSeconds, previousWeek))
{
    QVBoxLayout* column = cardColumn(this, 16);
    column->addWidget(new SectionHeader("How the week went"));
    column->addLayout(deskRow(m_figures.atDesk, 28, m_figures.deepShare));
    column->addLayout(statsRow(m_figures.stats));
    addLines(column, m_figures.lines);
}

} // namespace kestrove
