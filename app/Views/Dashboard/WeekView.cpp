#include "Views/Dashboard/WeekView.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "ViewLogic/Week/WeekModel.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/ReviewCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/StatChip.h"
#include "Views/Components/Waterline.h"
#include "Views/Dashboard/BarChartView.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/PageParts.h"
#include "Views/Theme.h"
#include "core/Calendar.h"
#include "core/DateText.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QLabel* fixedLabel(const QString& text, int size, QFont::Weight weight, const QColor& colour,
                   int width, Qt::Alignment alignment)
{
    QLabel* label = pageText(text, size, weight, colour);
    label->setFixedWidth(width);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

// One day of the week as a whole-row button: weekday, date, progress toward the goal and the
// deep time. Its children let the clicks through to it.
class DayRowButton final : public QAbstractButton
{
public:
    explicit DayRowButton(const WeekDayRow& day)
    {
        setText(qs(day.weekday + " " + day.dateText));
        // Labels draw with the text role that goes with their parent's background role; a
        // button's would draw them all in the button's text colour.
        setBackgroundRole(QPalette::Window);
        setCursor(Qt::PointingHandCursor);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(6, 4, 6, 4);
        row->setSpacing(10);
        row->addWidget(fixedLabel(qs(day.weekday), 12, QFont::DemiBold, KS::textSecondary(), 34,
                                  Qt::AlignLeft));
        row->addWidget(
            fixedLabel(qs(day.dateText), 12, QFont::Normal, KS::textTertiary(), 48, Qt::AlignLeft));
        row->addWidget(new Waterline(day.progress, 5, KS::deepGradient()), 1, Qt::AlignVCenter);
        QLabel* duration =
            fixedLabel(qs(day.duration), 12, QFont::Medium,
                       day.hasDeep ? KS::text() : KS::textTertiary(), 56, Qt::AlignRight);
        duration->setObjectName("dayDuration");
        row->addWidget(duration);
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
    }
    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!underMouse() && !isDown()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), 8),
                         QColor(255, 255, 255, isDown() ? 20 : 10));
    }
    void enterEvent(QEnterEvent* event) override
    {
        QAbstractButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override
    {
        QAbstractButton::leaveEvent(event);
        update();
    }
};

} // namespace

struct WeekView::Signature
{
    int weekOffset = 0;
    std::vector<DayTotal> days;
    std::vector<TimeShare> projectTotals;
    bool failed = false;
    double goalHours = 0;
    int longestStreak = 0;
    std::vector<DayTotal> recentDays;
    std::vector<Project> projects;

    bool operator==(const Signature&) const = default;
};

WeekView::WeekView(SessionEngine& engine, DashboardNavigation& navigation, Share share,
                   QWidget* parent)
    : QWidget(parent), m_engine(engine), m_navigation(navigation), m_share(std::move(share)),
      m_loader(engine), m_scroll(new QScrollArea(this))
{
    fillWithScroll(*this, *m_scroll);

    m_engineChanges = m_engine.observers().subscribe([this] { refreshIfChanged(); });
    m_projectChanges = m_engine.projects().observers().subscribe([this] { refreshIfChanged(); });
    rebuild();
    load();
}

WeekView::~WeekView() = default;

Date WeekView::weekStart() const
{
    return kestrove::weekStart(m_engine.clock().now(), m_weekOffset,
                               Calendar::firstWeekday(DateText::userLocale()));
}

void WeekView::setWeekOffset(int offset)
{
    offset = std::min(offset, 0);
    if (offset == m_weekOffset) {
        return;
    }
    m_weekOffset = offset;
    rebuild();
    load();
}

void WeekView::load()
{
    // Before the engine runs there is no database to read; its start brings the first load.
    if (!m_engine.isRunning()) {
        m_loadPending = true;
        return;
    }
    m_loadPending = false;
    m_loader.load(weekStart(), m_engine.clock().now(), [this](WeekLoad load) { apply(load); });
}

void WeekView::apply(WeekLoad load)
{
    m_failed = load.failed;
    m_days = std::move(load.days);
    m_projectTotals = std::move(load.projectTotals);
    refreshIfChanged();
}

WeekView::Signature WeekView::signature() const
{
    Signature s;
    s.weekOffset = m_weekOffset;
    s.days = m_days;
    s.projectTotals = m_projectTotals;
    s.failed = m_failed;
    s.goalHours = m_engine.goal().dailyGoalHours();
    s.longestStreak = m_engine.streak().longest;
    s.recentDays = m_engine.recentDays();
    s.projects = m_engine.projects().projects();
    return s;
}

void WeekView::refreshIfChanged()
{
    if (m_loadPending && m_engine.isRunning()) {
        m_loadPending = false;
        // On a later turn: the start sends the database's open right after saying it runs.
        QTimer::singleShot(0, this, [this] { load(); });
    }
    if (m_lastSignature && *m_lastSignature == signature()) {
        return;
    }
    rebuild();
}

void WeekView::rebuild()
{
    m_lastSignature = std::make_unique<Signature>(signature());
    const int scrolled = m_scroll->verticalScrollBar()->value();

    auto* content = new QWidget;
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(32, 40, 32, 32);
    page->setSpacing(22);
    page->addWidget(header());
    if (m_failed) {
        // A week that could not be read is not shown as an empty one.
        QLabel* line = pageText(WeekTexts::kReadFailed, 12, QFont::Normal, KS::shallow(), true);
        line->setObjectName("readError");
        page->addWidget(line);
    } else {
        page->addWidget(summaryRow());
        page->addWidget(new WeekReviewCard(m_days, m_engine.goal().dailyGoalHours() * 3600,
                                           previousWeekDays(m_engine.recentDays(), weekStart())));
        page->addWidget(chartCard());
        auto* pair = new QHBoxLayout;
        pair->setSpacing(16);
        pair->addWidget(daysCard(), 1, Qt::AlignTop);
        pair->addWidget(projectsCard(), 1, Qt::AlignTop);
        page->addLayout(pair);
    }
    page->addStretch(1);

    m_scroll->setWidget(content);
    m_content = content;
    m_scroll->verticalScrollBar()->setValue(scrolled);
}

QWidget* WeekView::header()
{
    const Date start = weekStart();
    const WeekHeader texts = weekHeader(start, m_weekOffset, m_days);
    auto* widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    row->addLayout(pageTitles(qs(texts.eyebrow), qs(texts.range), "weekTitle", "weekRange"));
    row->addStretch(1);

    PartsPill* previous = PartsPill::symbolOnly("chevron.left");
    previous->setObjectName("previousWeek");
    connect(previous, &QPushButton::clicked, this, [this] { setWeekOffset(m_weekOffset - 1); });
    row->addWidget(previous, 0, Qt::AlignVCenter);

    PartsPill* next = PartsPill::symbolOnly("chevron.right");
    next->setObjectName("nextWeek");
    next->setEnabled(texts.nextEnabled);
    connect(next, &QPushButton::clicked, this, [this] { setWeekOffset(m_weekOffset + 1); });
    row->addWidget(next, 0, Qt::AlignVCenter);

    auto* share = new PartsPill({{"arrow.up.right", {}, KS::ink(), true, 10},
                                 {"Share week", PillButtonStyle::font(), KS::ink()}},
                                {true});
    share->setObjectName("shareWeek");
    share->setEnabled(texts.shareEnabled && !m_failed);
    connect(share, &QPushButton::clicked, this, [this] {
        if (m_share) {
            const Date start = weekStart();
            m_share(this, start, Calendar::addingDays(start, 7));
        }
    });
    row->addWidget(share, 0, Qt::AlignVCenter);
    return widget;
}

QWidget* WeekView::summaryRow()
{
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(22);
    for (const StatFigure& chip :
         weekChips(m_days, m_engine.goal().dailyGoalHours(), m_engine.streak().longest)) {
        row->addWidget(new StatChip(qs(chip.label), qs(chip.value), KS::text()), 0,
                       Qt::AlignVCenter);
    }
    row->addStretch(1);
    KSCard* card = ksCard(content, 20);
    card->setObjectName("weekSummary");
    return card;
}

QWidget* WeekView::chartCard()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = bareColumn(14, &stack);
    stack->addWidget(
        new SectionHeader("Deep hours per day", qs("goal " + m_engine.goal().goalHoursLabel())));
    BarChartView::Style style;
    style.colour = KS::deep();
    style.gradientOnCurrent = true;
    style.otherOpacity = 0.55;
    style.cornerRadius = 4;
    style.barRatio = 0.55;
    style.categoryLabelSize = 10;
    style.categoryLabelColour = KS::textSecondary();
    auto* chart = new BarChartView(
        weekChart(m_days, m_engine.goal().dailyGoalHours(), m_engine.clock().now()), style, 200);
    chart->setObjectName("weekChart");
    stack->addWidget(chart);
    KSCard* card = ksCard(content, 18);
    card->setObjectName("weekChartCard");
    return card;
}

QWidget* WeekView::daysCard()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = bareColumn(10, &stack);
    stack->addWidget(new SectionHeader("Days", QString(WeekTexts::kDaysTrailing)));
    for (const WeekDayRow& day : weekDayRows(m_days, m_engine.goal().dailyGoalHours())) {
        auto* button = new DayRowButton(day);
        button->setObjectName("dayRow");
        connect(button, &QAbstractButton::clicked, this,
                [this, date = day.date] { m_navigation.open(date, m_engine.clock().now()); });
        stack->addWidget(button);
    }
    stack->addStretch(1);
    KSCard* card = ksCard(content, 18);
    card->setObjectName("weekDays");
    return card;
}

QWidget* WeekView::projectsCard()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = bareColumn(12, &stack);
    stack->addWidget(new SectionHeader("Projects this week"));
    const ProjectStore& store = m_engine.projects();
    const auto rows = weekProjectRows(m_projectTotals, [&store](const std::string& name) {
        const auto project = store.projectNamed(name);
        return project ? std::optional<std::string>(project->color) : std::nullopt;
    });
    if (rows.empty()) {
        stack->addWidget(new EmptyHint(WeekTexts::kNoProjects));
    }
    for (const WeekProjectRow& project : rows) {
        auto* row = new QHBoxLayout;
        row->setSpacing(10);
        row->addWidget(new ProjectDot(project.color, 8), 0, Qt::AlignVCenter);
        QLabel* name =
            pageText(qs(project.name), 13, project.isUnassigned ? QFont::Normal : QFont::Medium,
                     project.isUnassigned ? KS::textSecondary() : KS::text());
        name->setObjectName("projectName");
        // A long name is cut rather than widening the card.
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        row->addWidget(name, 1);
        row->addWidget(fixedLabel(qs(project.percent), 11, QFont::Medium, KS::textTertiary(), 38,
                                  Qt::AlignRight));
        row->addWidget(fixedLabel(qs(project.duration), 12, QFont::Medium, KS::textSecondary(), 56,
                                  Qt::AlignRight));
        stack->addLayout(row);
    }
    stack->addStretch(1);
    KSCard* card = ksCard(content, 18);
    card->setObjectName("weekProjects");
    return card;
}

QStringList WeekView::texts() const
{
    return shownTexts(m_content, {.headerTrailing = true});
}

} // namespace kestrove
