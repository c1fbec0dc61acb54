#include "Views/Dashboard/TodayView.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "Platform/Preferences.h"
#include "ViewLogic/Today/StripData.h"
#include "ViewLogic/Today/TodayModel.h"
#include "Views/Components/DepthStrip.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/ProgressRingView.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/ReviewCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/StatChip.h"
#include "Views/Dashboard/AssignSheet.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"
#include "core/Calendar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kPollMs = 15000;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QWidget* column(int spacing, QVBoxLayout** layout)
{
    auto* widget = new QWidget;
    auto* box = new QVBoxLayout(widget);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(spacing);
    *layout = box;
    return widget;
}

QHBoxLayout* headerRow(QWidget* header, const QString& tipTitle, const QString& tipDetail)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(header, 1);
    row->addWidget(new InfoTip(tipTitle, tipDetail));
    return row;
}

// A rounded notice with a tinted fill and outline.
class NoticeFrame final : public QWidget
{
public:
    explicit NoticeFrame(QColor tint) : m_tint(std::move(tint)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath shape =
            continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10);
        QColor fill = m_tint;
        fill.setAlphaF(0.08F);
        painter.fillPath(shape, fill);
        QColor line = m_tint;
        line.setAlphaF(0.25F);
        painter.setPen(QPen(line, 1));
        painter.drawPath(shape);
    }

private:
    QColor m_tint;
};

// The thin bar of every project's share.
class StackedBar final : public QWidget
{
public:
    explicit StackedBar(std::vector<ShareRow> bar) : m_bar(std::move(bar))
    {
        setFixedHeight(8);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const std::vector<double> widths = stackedBarWidths(m_bar, width());
        double x = 0;
        for (std::size_t i = 0; i < m_bar.size(); ++i) {
            const QColor colour =
                m_bar[i].isUnassigned ? KS::unassignedColor() : KS::projectColor(m_bar[i].color);
            painter.fillPath(continuousRoundedRect(QRectF(x, 0, widths[i], 8), 2), colour);
            x += widths[i] + 2;
        }
    }

private:
    std::vector<ShareRow> m_bar;
};

// The accent bar of a focus block row.
class AccentBar final : public QWidget
{
public:
    explicit AccentBar(bool live) : m_live(live) { setFixedSize(3, 30); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(m_live ? 1.0 : 0.6);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, KS::deepLight());
        gradient.setColorAt(0.5, KS::deep());
        gradient.setColorAt(1, KS::deepDark());
        painter.fillPath(continuousRoundedRect(rect(), 2), gradient);
    }

private:
    bool m_live;
};

QLabel* monoLabel(const QString& text, int size, const QColor& colour, int width)
{
    QLabel* label = pageText(text, size, QFont::Medium, colour);
    label->setFixedWidth(width);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

// The first card: the day's deep time, the ring toward the goal, the status sentence and four
// figures. Its texts move every second while today is shown.
class HeroCard final : public QWidget
{
public:
    HeroCard()
    {
        auto* content = new QWidget;
        auto* row = new QHBoxLayout(content);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(28);

        auto* ring = new QWidget;
        ring->setFixedSize(118, 118);
        m_ring = new ProgressRingView(0, 9, ring);
        m_ring->setGeometry(0, 0, 118, 118);
        auto* ringTexts = new QVBoxLayout(ring);
        ringTexts->setSpacing(0);
        ringTexts->addStretch(1);
        m_percent = pageText("", 20, QFont::Bold, KS::text());
        m_percent->setAlignment(Qt::AlignCenter);
        m_goal = pageText("", 10, QFont::Normal, KS::textTertiary());
        m_goal->setAlignment(Qt::AlignCenter);
        ringTexts->addWidget(m_percent);
        ringTexts->addWidget(m_goal);
        ringTexts->addStretch(1);
        row->addWidget(ring, 0, Qt::AlignVCenter);

        auto* stack = new QVBoxLayout;
        stack->setSpacing(10);
        auto* figure = new QHBoxLayout;
        figure->setSpacing(8);
        m_value = pageText("", 64, QFont::Black, KS::text());
        QFont big = m_value->font();
        big.setLetterSpacing(QFont::AbsoluteSpacing, -2);
        m_value->setFont(big);
        m_value->setObjectName("heroValue");
        m_unit = pageText("", 20, QFont::DemiBold, KS::textSecondary());
        figure->addWidget(m_value, 0, Qt::AlignBaseline);
        figure->addWidget(m_unit, 0, Qt::AlignBaseline);
        figure->addStretch(1);
        stack->addLayout(figure);
        m_status = pageText("", 13, QFont::Normal, KS::textSecondary());
        m_status->setObjectName("statusLine");
        stack->addWidget(m_status);
        m_chips = new QHBoxLayout;
        m_chips->setSpacing(22);
        stack->addLayout(m_chips);
        row->addLayout(stack, 1);

        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(ksCard(content, 24));
    }

    void show(const HeroFigures& hero, const std::string& status)
    {
        m_ring->setProgress(hero.progress);
        m_percent->setText(qs(hero.percent));
        m_goal->setText(qs(hero.goal));
        m_value->setText(qs(hero.value));
        m_unit->setText(qs(hero.unit));
        setPlainText(*m_status, qs(status));
        if (m_chipTexts != hero.chips) {
            m_chipTexts = hero.chips;
            while (QLayoutItem* item = m_chips->takeAt(0)) {
                delete item->widget();
                delete item;
            }
            for (const StatFigure& chip : hero.chips) {
                m_chips->addWidget(new StatChip(qs(chip.label), qs(chip.value), KS::text()));
            }
            m_chips->addStretch(1);
        }
    }

private:
    ProgressRingView* m_ring;
    QLabel* m_percent;
    QLabel* m_goal;
    QLabel* m_value;
    QLabel* m_unit;
    QLabel* m_status;
    QHBoxLayout* m_chips;
    std::vector<StatFigure> m_chipTexts;
};

// What the page was last laid out from; a change of any of it lays the page out again.
struct TodayView::Signature
{
    Date day = 0;
    bool isToday = false;
    DaySummary shown;
    std::vector<Segment> segments;
    bool failed = false;
    bool hasAccessibility = true;
    std::optional<std::string> shutdownPlan;
    bool legacyDay = false;
    std::vector<DayTotal> recentDays;
    double goalHours = 0;
    int streak = 0;
    std::optional<Date> liveBlockStart;

    bool operator==(const Signature&) const = default;
};

TodayView::TodayView(SessionEngine& engine, DashboardNavigation& navigation, Hooks hooks,
                     QWidget* parent)
    : QWidget(parent), m_engine(engine), m_navigation(navigation), m_hooks(std::move(hooks)),
      m_loader(engine), m_scroll(new QScrollArea(this))
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(m_scroll);

    m_shownSelectedDay = m_navigation.selectedDay();
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, [this] { load(); });
    m_heroTimer.setInterval(1000);
    connect(&m_heroTimer, &QTimer::timeout, this, [this] { refreshHero(); });

    m_navigationChanges = m_navigation.observers().subscribe([this] {
        if (m_navigation.selectedDay() != m_shownSelectedDay) {
            dayChanged();
        }
        presentShareIfAsked();
    });
    m_engineChanges = m_engine.observers().subscribe([this] { refreshIfChanged(); });
    m_taskEnded = m_engine.focusTaskEnded().subscribe([this] { load(); });

    rebuild();
    load();
    presentShareIfAsked();
}

TodayView::~TodayView() = default;

void TodayView::presentShareIfAsked()
{
    if (!m_navigation.showShare() || !m_hooks.presentShare) {
        return;
    }
    // On the next turn: the page may be in the middle of being built or told of a change.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_navigation.showShare()) {
                return;
            }
            m_navigation.setShowShare(false);
            m_hooks.presentShare(this, SharePeriod::day(day()));
        },
        Qt::QueuedConnection);
}

Date TodayView::day() const
{
    return shownDay(m_navigation.selectedDay(), m_engine.clock().now());
}

bool TodayView::isToday() const
{
    return !m_navigation.selectedDay().has_value();
}

const DaySummary& TodayView::shown() const
{
    if (isToday()) {
        return m_engine.today();
    }
    if (m_pastSummary) {
        return *m_pastSummary;
    }
    const_cast<TodayView*>(this)->m_empty = DaySummary::empty(day());
    return *m_empty;
}

void TodayView::load()
{
    // Before the engine starts there is no database to read; the start brings the first load.
    if (!m_engine.isRunning()) {
        m_loadPending = true;
        return;
    }
    m_loadPending = false;
    m_loader.load(day(), isToday(), [this](TodayLoad load) { apply(std::move(load)); });
}

void TodayView::apply(TodayLoad load)
{
    m_segments = std::move(load.segments);
    m_pastSummary = std::move(load.pastSummary);
    m_legacyImported = load.legacyImported;
    m_failed = load.failed;
    updatePolling();
    refreshIfChanged();
}

void TodayView::dayChanged()
{
    m_shownSelectedDay = m_navigation.selectedDay();
    m_poll.stop();
    refreshIfChanged();
    load();
}

void TodayView::shift(int days)
{
    m_navigation.setSelectedDay(shiftedDay(day(), days, m_engine.clock().now()));
}

void TodayView::updatePolling()
{
    // Only today moves; a past day is read once.
    if (isToday() && isVisible()) {
        if (!m_poll.isActive()) {
            m_poll.start();
        }
        m_heroTimer.start();
    } else {
        m_poll.stop();
        m_heroTimer.stop();
    }
}

void TodayView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updatePolling();
}

void TodayView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_poll.stop();
    m_heroTimer.stop();
}

TodayView::Signature TodayView::signature() const
{
    Signature s;
    s.day = day();
    s.isToday = isToday();
    s.shown = shown();
    s.segments = m_segments;
    s.failed = m_failed;
    s.hasAccessibility = m_engine.permissions().hasAccessibility();
    if (s.isToday) {
        Preferences& prefs = m_engine.preferences();
        s.shutdownPlan = shutdownNotePlan(prefs.string(SessionEngine::kTomorrowPlanKey),
                                          prefs.string(SessionEngine::kTomorrowPlanWrittenOnKey),
                                          m_engine.clock().now(), m_engine.dayPlans().today());
    }
    s.legacyDay = isLegacyDay(s.day, m_engine.accurateSince(), m_legacyImported);
    s.recentDays = m_engine.recentDays();
    s.goalHours = m_engine.goal().dailyGoalHours();
    s.streak = m_engine.streak().current;
    if (m_engine.liveBlock()) {
        s.liveBlockStart = m_engine.liveBlock()->start;
    }
    return s;
}

void TodayView::refreshIfChanged()
{
    if (m_loadPending && m_engine.isRunning()) {
        m_loadPending = false;
        // On a later turn: the start sends the database's open right after saying it runs.
        QTimer::singleShot(0, this, [this] { load(); });
    }
    Signature now = signature();
    if (m_lastSignature && *m_lastSignature == now) {
        return;
    }
    rebuild();
}

void TodayView::refreshHero()
{
    if (!m_hero) {
        return;
    }
    const DaySummary& summary = shown();
    const bool today = isToday();
    const double deep = today ? m_engine.liveDeepSecondsToday() : summary.deepSeconds;
    const HeroFigures hero =
        heroFigures(summary, today, deep, m_engine.goal().dailyGoalHours(),
                    m_engine.goal().goalHoursLabel(), m_engine.streak().current);
    std::string status;
    if (today) {
        const Tracker& tracker = m_engine.tracker();
        LiveStatus live;
        live.isIdle = tracker.isIdle();
        live.hasLiveBlock = m_engine.liveBlock().has_value();
        live.kind = tracker.kind();
        live.phase = m_engine.sessionPhase();
        live.sessionSeconds = m_engine.liveSessionSeconds();
        live.graceRemaining = m_engine.distractionSecondsRemaining();
        live.projectDisplayName = m_engine.projectDisplayName();
        live.appName = tracker.sample().appName;
        status = statusLine(live);
    } else {
        status = pastStatusLine(summary);
    }
    m_hero->show(hero, status);
}

void TodayView::rebuild()
{
    m_lastSignature = std::make_unique<Signature>(signature());
    const Signature& s = *m_lastSignature;
    const int scrolled = m_scroll->verticalScrollBar()->value();

    auto* content = new QWidget;
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(32, 40, 32, 32);
    page->setSpacing(22);
    m_hero = nullptr;

    page->addWidget(header());
    if (s.isToday && !s.hasAccessibility) {
        page->addWidget(permissionBanner());
    }
    if (s.isToday && m_hooks.planCard) {
        if (QWidget* card = m_hooks.planCard()) {
            page->addWidget(card);
        }
    }
    if (s.shutdownPlan) {
        page->addWidget(shutdownNote(*s.shutdownPlan));
    }
    if (s.legacyDay) {
        page->addWidget(legacyNote(*m_engine.accurateSince()));
    }
    if (m_failed && !s.isToday) {
        // A day that could not be read is not shown as an empty one.
        page->addWidget(errorLine());
    } else {
        m_hero = new HeroCard;
        page->addWidget(m_hero);
        refreshHero();
        page->addWidget(new DayReviewCard(s.shown, s.goalHours * 3600,
                                          s.isToday ? s.recentDays : std::vector<DayTotal>{},
                                          s.isToday));
        page->addWidget(depthSection());
        auto* pair = new QHBoxLayout;
        pair->setSpacing(16);
        pair->addWidget(whereItWentCard(), 1, Qt::AlignTop);
        pair->addWidget(blocksCard(), 1, Qt::AlignTop);
        page->addLayout(pair);
        if (QWidget* card = unassignedCardView()) {
            page->addWidget(card);
        }
    }
    if (s.isToday && m_hooks.focusTaskCard) {
        if (QWidget* card = m_hooks.focusTaskCard()) {
            page->addWidget(card);
        }
    }
    page->addStretch(1);

    m_scroll->setWidget(content);
    m_content = content;
    m_scroll->verticalScrollBar()->setValue(scrolled);
}

QWidget* TodayView::header()
{
    const TodayHeader texts =
        todayHeader(day(), isToday(), shown().deepSeconds, m_engine.clock().now());
    auto* widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    auto* eyebrow = new Eyebrow(qs(texts.title), KS::textTertiary());
    eyebrow->setObjectName("todayTitle");
    titles->addWidget(eyebrow);
    QLabel* date = pageText(qs(texts.date), 24, QFont::Bold, KS::text());
    date->setObjectName("todayDate");
    titles->addWidget(date);
    row->addLayout(titles);
    row->addStretch(1);

    PartsPill* previous = PartsPill::symbolOnly("chevron.left");
    previous->setObjectName("previousDay");
    previous->setToolTip("Previous day");
    connect(previous, &QPushButton::clicked, this, [this] { shift(-1); });
    row->addWidget(previous, 0, Qt::AlignVCenter);

    PartsPill* next = PartsPill::symbolOnly("chevron.right");
    next->setObjectName("nextDay");
    next->setToolTip("Next day");
    next->setEnabled(texts.nextEnabled);
    connect(next, &QPushButton::clicked, this, [this] { shift(1); });
    row->addWidget(next, 0, Qt::AlignVCenter);

    if (texts.showsTodayButton) {
        auto* today = new PillButton("Today", {false});
        today->setObjectName("todayButton");
        connect(today, &QPushButton::clicked, this,
                [this] { m_navigation.setSelectedDay(std::nullopt); });
        row->addWidget(today, 0, Qt::AlignVCenter);
    }

    auto* share = new PartsPill({{"arrow.up.right", {}, KS::ink(), true, 10},
                                 {"Share", PillButtonStyle::font(), KS::ink()}},
                                {true});
    share->setObjectName("share");
    share->setEnabled(texts.shareEnabled);
    connect(share, &QPushButton::clicked, this, [this] { m_navigation.setShowShare(true); });
    row->addWidget(share, 0, Qt::AlignVCenter);
    return widget;
}

QWidget* TodayView::permissionBanner()
{
    auto* banner = new NoticeFrame(KS::shallow());
    banner->setObjectName("permissionBanner");
    auto* row = new QHBoxLayout(banner);
    row->setContentsMargins(14, 14, 14, 14);
    row->setSpacing(12);
    row->addWidget(new SymbolView("exclamationmark.triangle.fill", 16, KS::shallow()), 0,
                   Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(pageText(TodayTexts::kPermissionTitle, 12, QFont::DemiBold, KS::text()));
    texts->addWidget(
        pageText(TodayTexts::kPermissionDetail, 11, QFont::Normal, KS::textSecondary(), true));
    row->addLayout(texts, 1);
    auto* grant = new PillButton("Grant", {false});
    // On this desktop the permission is the window manager's answer; asking again re-reads it.
    connect(grant, &QPushButton::clicked, this,
            [this] { m_engine.permissions().refreshAccessibility(); });
    row->addWidget(grant, 0, Qt::AlignVCenter);
    return banner;
}

QWidget* TodayView::shutdownNote(const std::string& plan)
{
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    auto* sun = new QVBoxLayout;
    sun->setContentsMargins(0, 2, 0, 0);
    sun->addWidget(new SymbolView("sunrise.fill", 16, KS::shallow()));
    sun->addStretch(1);
    row->addLayout(sun);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(new Eyebrow(TodayTexts::kShutdownEyebrow, KS::textTertiary()));
    texts->addWidget(pageText(qs(plan), 13, QFont::Normal, KS::text(), true));
    row->addLayout(texts, 1);
    auto* done = new PillButton("Done", {false});
    done->setObjectName("shutdownDone");
    connect(done, &QPushButton::clicked, this, [this] {
        m_engine.preferences().remove(SessionEngine::kTomorrowPlanKey);
        m_engine.preferences().remove(SessionEngine::kTomorrowPlanWrittenOnKey);
        // Nothing else tells the page; it goes at once, not at the next redraw.
        refreshIfChanged();
    });
    row->addWidget(done, 0, Qt::AlignTop);
    KSCard* card = ksCard(content, 16);
    card->setObjectName("shutdownNote");
    return card;
}

QWidget* TodayView::legacyNote(Date accurateSince)
{
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(new SymbolView("clock.arrow.circlepath", 14, KS::textTertiary()), 0,
                   Qt::AlignVCenter);
    row->addWidget(
        pageText(qs(legacyNoteText(accurateSince)), 12, QFont::Normal, KS::textSecondary(), true),
        1);
    KSCard* card = ksCard(content, 14);
    card->setObjectName("legacyNote");
    return card;
}

QWidget* TodayView::errorLine()
{
    QLabel* line = pageText(TodayTexts::kReadFailed, 12, QFont::Normal, KS::shallow(), true);
    line->setObjectName("readError");
    return line;
}

QWidget* TodayView::depthSection()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(12, &stack);
    const DaySummary& summary = shown();
    stack->addLayout(headerRow(new SectionHeader("Depth", qs(legendText(summary))),
                               TodayTexts::kDepthTipTitle, TodayTexts::kDepthTipDetail));
    const bool today = isToday();
    const Date now = m_engine.clock().now();
    if (m_failed) {
        stack->addWidget(errorLine());
    } else {
        const Date dayStart = day();
        const Date reference = today ? now : Calendar::addingDays(dayStart, 1);
        const StripData::Range range = StripData::range(m_segments, dayStart, reference);
        auto* strip =
            new DepthStrip(StripData::coalesce(m_segments), range.start, range.end,
                           today ? std::optional<Date>(now) : std::nullopt, true, true, 56);
        strip->setObjectName("depthStrip");
        stack->addWidget(strip);
    }
    return ksCard(content, 18);
}

QWidget* TodayView::whereItWentCard()
{
    const WhereItWent card = whereItWent(shown(), isToday());
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(14, &stack);
    stack->addWidget(new SectionHeader("Where it went",
                                       card.trailing ? std::optional<QString>(qs(*card.trailing))
                                                     : std::nullopt));
    if (card.emptyHint) {
        stack->addWidget(new EmptyHint(qs(*card.emptyHint)));
    } else {
        stack->addWidget(new StackedBar(card.bar));
        for (const ShareRow& share : card.rows) {
            auto* row = new QHBoxLayout;
            row->setSpacing(10);
            row->addWidget(new ProjectDot(share.color, 8), 0, Qt::AlignVCenter);
            row->addWidget(pageText(qs(share.name), 13,
                                    share.isUnassigned ? QFont::Normal : QFont::Medium,
                                    share.isUnassigned ? KS::textSecondary() : KS::text()),
                           1);
            row->addWidget(monoLabel(qs(share.percent), 11, KS::textTertiary(), 38));
            row->addWidget(monoLabel(qs(share.duration), 12, KS::textSecondary(), 56));
            stack->addLayout(row);
        }
        if (!card.areas.empty()) {
            QVBoxLayout* areas = nullptr;
            QWidget* block = column(6, &areas);
            areas->setContentsMargins(0, 2, 0, 0);
            auto* divider = new QWidget;
            divider->setFixedHeight(1);
            divider->setAutoFillBackground(true);
            QPalette palette = divider->palette();
            palette.setColor(QPalette::Window, KS::border());
            divider->setPalette(palette);
            areas->addWidget(divider);
            areas->addSpacing(2);
            for (const auto& [name, duration] : card.areas) {
                auto* row = new QHBoxLayout;
                row->addWidget(pageText(qs(name), 12, QFont::Normal, KS::textSecondary()), 1);
                row->addWidget(pageText(qs(duration), 11, QFont::Medium, KS::textSecondary()));
                areas->addLayout(row);
            }
            stack->addWidget(block);
        }
    }
    stack->addStretch(1);
    KSCard* result = ksCard(content, 18);
    result->setObjectName("whereItWent");
    return result;
}

QWidget* TodayView::blocksCard()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(14, &stack);
    stack->addLayout(
        headerRow(new SectionHeader("Focus blocks"), "Focus blocks", TodayTexts::kBlocksTipDetail));
    const std::vector<BlockRow> rows = blockRows(shown(), isToday(), m_engine.liveBlock());
    if (rows.empty()) {
        stack->addWidget(new EmptyHint(TodayTexts::kBlocksEmpty));
    }
    for (const BlockRow& block : rows) {
        auto* row = new QHBoxLayout;
        row->setSpacing(12);
        row->addWidget(new AccentBar(block.isLive), 0, Qt::AlignVCenter);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(3);
        auto* spanRow = new QHBoxLayout;
        spanRow->setSpacing(6);
        spanRow->addWidget(pageText(qs(block.span), 12, QFont::Medium, KS::text()));
        if (block.isLive) {
            QLabel* live = pageText("live", 10, QFont::DemiBold, KS::deepLight());
            QFont font = live->font();
            font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
            live->setFont(font);
            live->setObjectName("liveMark");
            spanRow->addWidget(live);
        }
        spanRow->addStretch(1);
        texts->addLayout(spanRow);
        texts->addWidget(pageText(qs(block.caption), 11, QFont::Normal, KS::textTertiary()));
        row->addLayout(texts, 1);
        row->addWidget(pageText(qs(block.duration), 15, QFont::Bold, KS::text()), 0,
                       Qt::AlignVCenter);
        stack->addLayout(row);
    }
    stack->addStretch(1);
    KSCard* result = ksCard(content, 18);
    result->setObjectName("focusBlocks");
    return result;
}

QWidget* TodayView::unassignedCardView()
{
    const auto card = unassignedCard(shown());
    if (!card) {
        return nullptr;
    }
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(12, &stack);
    stack->addLayout(headerRow(new SectionHeader("Unassigned deep work", qs(card->trailing)),
                               "Unassigned", TodayTexts::kUnassignedTipDetail));
    auto* chips = new QWidget;
    auto* flow = new FlowLayout(8, chips);
    for (const UnassignedChip& chip : card->chips) {
        auto* pill =
            new PartsPill({{qs(chip.hint.name), uiFont(12, QFont::Medium), KS::text()},
                           {qs(chip.duration), uiFont(11, QFont::Medium), KS::textTertiary()},
                           {"arrow.right", {}, KS::textTertiary(), true, 9}},
                          {false});
        pill->setObjectName("hintChip");
        connect(pill, &QPushButton::clicked, this, [this, hint = chip.hint] { chooseHint(hint); });
        flow->addWidget(pill);
    }
    stack->addWidget(chips);
    KSCard* result = ksCard(content, 18);
    result->setObjectName("unassigned");
    return result;
}

void TodayView::chooseHint(const TimeShare& hint)
{
    if (m_assignSheet) {
        m_assignSheet->close();
    }
    m_assignSheet = new AssignSheet(
        m_engine, hint.name, hint.seconds, isToday(), [this] { load(); }, this);
    m_assignSheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_assignSheet, &QObject::destroyed, this, [this] { m_assignSheet = nullptr; });
    m_assignSheet->open();
}

QStringList TodayView::texts() const
{
    QStringList result;
    if (!m_content) {
        return result;
    }
    for (const QWidget* widget : m_content->findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            result << label->text();
        } else if (const auto* eyebrow = dynamic_cast<const Eyebrow*>(widget)) {
            result << eyebrow->shownText();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            result << button->text();
        } else if (const auto* header = dynamic_cast<const SectionHeader*>(widget)) {
            result << header->title();
            if (header->trailing()) {
                result << *header->trailing();
            }
        } else if (const auto* chip = dynamic_cast<const StatChip*>(widget)) {
            result << chip->label() + ": " + chip->value();
        }
    }
    return result;
}

} // namespace kestrove
