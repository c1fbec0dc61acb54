#include "Views/Rituals/PlanViews.h"

#include "Engine/MorningGateController.h"
#include "Engine/SessionEngine.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SectionHeader.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

QColor faded(QColor colour, double opacity)
{
    colour.setAlphaF(colour.alphaF() * opacity);
    return colour;
}

bool focusTaskActive(SessionEngine& engine)
{
    return engine.focusTaskManager().active().has_value();
}

} // namespace

// ---- The block row ----

PlanBlockRow::PlanBlockRow(SessionEngine& engine, PlannedBlock block, AppPicker pickApps,
                           QWidget* parent)
    : QWidget(parent), m_engine(engine), m_model(std::move(block), focusTaskActive(engine)),
      m_pickApps(std::move(pickApps))
{
    setObjectName("planBlockRow");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(10);

    auto* time =
        ritualLabel(q(m_model.timeText()), 11, QFont::Medium,
                    m_model.hasTime() ? KS::textTertiary() : faded(KS::textTertiary(), 0.5));
    time->setObjectName("time");
    time->setFixedWidth(42);
    layout->addWidget(time);

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* title = ritualLabel(q(m_model.title()), 13, QFont::Medium,
                              m_model.isDone() ? KS::textTertiary() : KS::text());
    title->setObjectName("title");
    if (m_model.isDone()) {
        QFont font = title->font();
        font.setStrikeOut(true);
        title->setFont(font);
    }
    column->addWidget(title);
    const auto subline = m_model.subline();
    if (subline != PlanBlockRowModel::Subline::none) {
        const QColor colour =
            subline == PlanBlockRowModel::Subline::needsApps ? KS::shallow() : KS::deepLight();
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        if (subline == PlanBlockRowModel::Subline::away) {
            line->addWidget(new RitualSymbol("figure.walk", colour, 10), 0, Qt::AlignVCenter);
        }
        auto* text = ritualLabel(q(m_model.sublineText()), 11, QFont::Normal, colour);
        text->setObjectName("subline");
        line->addWidget(text);
        line->addStretch();
        column->addLayout(line);
    }
    layout->addLayout(column, 1);
    layout->addSpacing(8);

    auto* length = ritualLabel(q(m_model.lengthText()), 11, QFont::Medium, KS::textTertiary());
    length->setObjectName("length");
    layout->addWidget(length);

    auto* trailing = new QWidget;
    trailing->setFixedWidth(74);
    auto* trailingLayout = new QHBoxLayout(trailing);
    trailingLayout->setContentsMargins(0, 0, 0, 0);
    trailingLayout->addStretch();
    const PlannedBlock shown = m_model.block;
    const auto reopen = [this, shown] {
        // Later, and not tied to this row: reopening redraws the card, and with it the row.
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [&engine = m_engine, shown] { PlanActions::reopen(engine, shown); });
    };
    switch (m_model.control()) {
    case PlanBlockRowModel::Control::done: {
        auto* chip = new MenuChip(10, QFont::Medium);
        chip->setObjectName("stateMenu");
        chip->setLabel(q(m_model.doneText()), KS::success(), u"checkmark", 9);
        chip->setToolTip(plainToolTip(PlanBlockRowModel::kDoneToolTip));
        chip->resetMenu()->addAction(PlanBlockRowModel::kDoneMenuItem, this, reopen);
        m_state = chip;
        trailingLayout->addWidget(chip);
        break;
    }
    case PlanBlockRowModel::Control::running: {
        auto* chip = new MenuChip(11, QFont::DemiBold);
        chip->setObjectName("stateMenu");
        QFont font = chip->font();
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        chip->setFont(font);
        chip->setLabel(q(m_model.runningText()),
                       m_model.focusTaskActive ? KS::deep() : KS::shallow());
        chip->resetMenu()->addAction(PlanBlockRowModel::kRunningMenuItem, this, reopen);
        m_state = chip;
        trailingLayout->addWidget(chip);
        break;
    }
    case PlanBlockRowModel::Control::start: {
        m_start = new PillButton(q(m_model.startTitle()), PillButtonStyle{});
        m_start->setObjectName("startButton");
        m_start->setEnabled(m_model.startEnabled());
        connect(m_start, &QPushButton::clicked, this, [this] { startFlow(); });
        trailingLayout->addWidget(m_start);
        break;
    }
    }
    layout->addWidget(trailing);
}

void PlanBlockRow::startFlow()
{
    const auto outcome = PlanActions::start(m_engine, m_model.block);
    if (outcome.started || !m_pickApps) {
        return;
    }
    m_pickApps(m_start, q(m_model.pickerTitle()), outcome.pickerSelection,
               [&engine = m_engine, block = m_model.block](const std::set<std::string>& apps) {
                   PlanActions::startWithApps(engine, block, apps);
               });
}

// ---- The card ----

PlanCard::PlanCard(SessionEngine& engine, PlanViewHooks hooks, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_hooks(std::move(hooks))
{
    setObjectName("planCard");
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    auto* header = new QHBoxLayout;
    header->addWidget(new SectionHeader(PlanCardModel::kTitle), 0, Qt::AlignBaseline);
    header->addStretch();
    m_summary = ritualLabel({}, 11, QFont::Normal, KS::textTertiary());
    m_summary->setObjectName("summary");
    header->addWidget(m_summary, 0, Qt::AlignBaseline);
    m_button = new PillButton("Plan the day", PillButtonStyle{true});
    m_button->setObjectName("planButton");
    connect(m_button, &QPushButton::clicked, this, [this] { m_engine.morningGate().openEditor(); });
    header->addWidget(m_button, 0, Qt::AlignVCenter);
    layout->addLayout(header);

    m_body = new QVBoxLayout;
    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(0);
    layout->addLayout(m_body);

    m_empty = new QWidget;
    auto* empty = new QVBoxLayout(m_empty);
    empty->setContentsMargins(0, 0, 0, 0);
    empty->setSpacing(6);
    empty->addWidget(ritualLabel(PlanCardModel::kEmptyTitle, 13, QFont::Medium, KS::text()));
    auto* detail = ritualLabel(PlanCardModel::kEmptyDetail, 12, QFont::Normal, KS::textTertiary());
    detail->setWordWrap(true);
    empty->addWidget(detail);
    layout->addWidget(m_empty);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(ksCard(content, 18));

    m_planWatch = m_engine.dayPlans().observers().subscribe([this] { refresh(); });
    m_taskWatch = m_engine.focusTaskManager().observers().subscribe([this] { refresh(); });
    refresh();
}

void PlanCard::refresh()
{
    m_model = PlanCardModel::make(m_engine.dayPlans().today());
    const auto summary = m_model.summary();
    m_summary->setVisible(summary.has_value());
    m_summary->setText(summary ? q(*summary) : QString());
    // A new button: the pill's look is fixed when it is made.
    auto* button =
        new PillButton(q(m_model.buttonTitle()), PillButtonStyle{m_model.buttonProminent()});
    button->setObjectName("planButton");
    connect(button, &QPushButton::clicked, this, [this] { m_engine.morningGate().openEditor(); });
    m_button->parentWidget()->layout()->replaceWidget(m_button, button);
    m_button->hide();
    m_button->deleteLater();
    m_button = button;

    for (PlanBlockRow* row : m_rows) {
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    for (const PlannedBlock& block : m_model.rows()) {
        auto* row = new PlanBlockRow(m_engine, block, m_hooks.pickApps);
        m_body->addWidget(row);
        m_rows.push_back(row);
    }
    m_empty->setVisible(!m_model.plan);
}

// ---- The strip ----

PlanStrip::PlanStrip(SessionEngine& engine, std::function<void()> showToday, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_showToday(std::move(showToday))
{
    setObjectName("planStrip");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);
    m_symbol = new RitualSymbol("water.waves", KS::deep(), 11);
    layout->addWidget(m_symbol, 0, Qt::AlignVCenter);
    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    m_title = ritualLabel({}, 12, QFont::DemiBold, KS::text());
    m_title->setObjectName("title");
    column->addWidget(m_title);
    m_details = ritualLabel({}, 11, QFont::Normal, KS::textTertiary());
    m_details->setObjectName("details");
    column->addWidget(m_details);
    layout->addLayout(column, 1);
    m_chevron = new RitualSymbol("chevron.right", KS::textTertiary(), 9);
    layout->addWidget(m_chevron, 0, Qt::AlignVCenter);
    m_button = new PillButton("Start", PillButtonStyle{true});
    m_button->setObjectName("startButton");
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (!m_model.block) {
            return;
        }
        if (!m_engine.startPlannedBlock(*m_model.block) && m_showToday) {
            m_showToday();
        }
    });
    layout->addWidget(m_button, 0, Qt::AlignVCenter);

    m_planWatch = m_engine.dayPlans().observers().subscribe([this] { refresh(); });
    m_taskWatch = m_engine.focusTaskManager().observers().subscribe([this] { refresh(); });
    refresh();
}

void PlanStrip::refresh()
{
    m_model = PlanStripModel::make(m_engine.dayPlans().today(), focusTaskActive(m_engine));
    const bool link = m_model.kind == PlanStripModel::Kind::link;
    m_symbol->setSymbol(link ? "sun.horizon" : q(m_model.symbol()),
                        link ? KS::shallow() : KS::deep());
    m_title->setText(link ? q(m_model.linkText()) : q(m_model.title()));
    m_details->setVisible(!link);
    m_details->setText(q(m_model.details()));
    m_chevron->setVisible(link);
    m_button->setVisible(m_model.showsButton());
    m_button->setText(q(m_model.buttonTitle()));
    m_button->updateGeometry();
    setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void PlanStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_model.kind == PlanStripModel::Kind::link && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        m_engine.morningGate().openEditor();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace kestrove
