#include "Views/Rituals/MorningGateView.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Rituals/BlockEditorRow.h"
#include "Views/Theme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kMaxContentWidth = 680;

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* wrapping(QLabel* label)
{
    label->setWordWrap(true);
    return label;
}

} // namespace

MorningGateView::MorningGateView(GateForm form, Context context, QWidget* parent)
    : QWidget(parent), m_gate(std::move(form)), m_context(std::move(context)),
      m_form(m_gate.initialPlan, m_gate.isWall, m_context.lastUsedApps)
{
    setObjectName("morningGateView");
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, KS::ink());
    setPalette(palette);
    // The form is built to be shown: an empty plan starts with one block.
    m_form.appeared();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(scroll);

    auto* canvas = new QWidget;
    canvas->setAutoFillBackground(false);
    auto* centring = new QHBoxLayout(canvas);
    centring->setContentsMargins(40, m_form.topPadding(), 40, 56);
    auto* column = new QWidget;
    column->setMaximumWidth(kMaxContentWidth);
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(24);
    stack->addWidget(buildHeader());

    auto* note = new QWidget;
    auto* noteLayout = new QHBoxLayout(note);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    noteLayout->setSpacing(10);
    auto* moon = new RitualSymbol("moon.stars", KS::shallow(), 12);
    noteLayout->addWidget(moon, 0, Qt::AlignTop);
    auto* noteColumn = new QVBoxLayout;
    noteColumn->setSpacing(3);
    noteColumn->addWidget(new Eyebrow("You wrote this at shutdown", KS::textTertiary()));
    m_noteText = wrapping(ritualLabel({}, 13, QFont::Normal, KS::textSecondary()));
    m_noteText->setObjectName("shutdownNote");
    noteColumn->addWidget(m_noteText);
    noteLayout->addLayout(noteColumn, 1);
    m_noteCard = ksCard(note, 16);
    stack->addWidget(m_noteCard);

    stack->addWidget(buildBlocksCard());
    stack->addWidget(buildSubmitBar());
    stack->addStretch();
    centring->addStretch();
    centring->addWidget(column, 100);
    centring->addStretch();
    scroll->setWidget(canvas);

    if (m_gate.onClose) {
        m_close = new PillButton(q(m_form.closeTitle()), PillButtonStyle{}, this);
        m_close->setObjectName("closeButton");
        connect(m_close, &QPushButton::clicked, this, [this] { m_gate.onClose(); });
        m_close->raise();
    }

    rebuildRows();
}

QWidget* MorningGateView::buildHeader()
{
    auto* header = new QWidget;
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(new Eyebrow(q(m_form.eyebrow()), KS::textTertiary()));
    auto* title = ritualLabel("When is the deep work?", 36, QFont::Black, KS::text());
    QFont titleFont = title->font();
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    title->setFont(titleFont);
    layout->addWidget(title);
    auto* line =
        wrapping(ritualLabel(q(m_form.headerLine(DayPlanForm::formattedDay(m_form.plan().day))), 13,
                             QFont::Normal, KS::textSecondary()));
    line->setObjectName("headerLine");
    layout->addWidget(line);
    return header;
}

QWidget* MorningGateView::buildBlocksCard()
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(ritualLabel("Blocks", 18, QFont::Bold, KS::text()), 0, Qt::AlignBaseline);
    titleRow->addStretch();
    m_total = ritualLabel({}, 17, QFont::Bold, KS::deep());
    m_total->setObjectName("plannedTotal");
    titleRow->addWidget(m_total, 0, Qt::AlignBaseline);
    layout->addLayout(titleRow);

    layout->addWidget(wrapping(ritualLabel(
        "Locked blocks wall off every app but the ones you pick. Away blocks block nothing and "
        "keep counting while you are off the keyboard, for filming, calls and thinking. A time "
        "is a label, not an alarm.",
        12, QFont::Normal, KS::textTertiary())));

    m_rowsLayout = new QVBoxLayout;
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(14);
    layout->addLayout(m_rowsLayout);

    auto* addRow = new QHBoxLayout;
    addRow->setContentsMargins(0, 2, 0, 0);
    addRow->setSpacing(8);
    auto* add = new PillButton("Add block", PillButtonStyle{});
    add->setObjectName("addBlock");
    add->setIcon(symbolIcon(u"plus", KS::text(), 11));
    connect(add, &QPushButton::clicked, this, [this] { addBlock(DayPlanForm::kNewBlockMinutes); });
    addRow->addWidget(add);
    for (const int minutes : DayPlanForm::kQuickMinutes) {
        auto* quick = new PillButton(QString::number(minutes) + "m", PillButtonStyle{});
        quick->setObjectName(QString("add%1").arg(minutes));
        connect(quick, &QPushButton::clicked, this, [this, minutes] { addBlock(minutes); });
        addRow->addWidget(quick);
    }
    addRow->addStretch();
    layout->addLayout(addRow);
    return ksCard(content, 22);
}

QWidget* MorningGateView::buildSubmitBar()
{
    auto* bar = new QWidget;
    auto* layout = new QVBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    m_missing = new QWidget;
    auto* missingLayout = new QHBoxLayout(m_missing);
    missingLayout->setContentsMargins(0, 0, 0, 0);
    missingLayout->setSpacing(8);
    missingLayout->addWidget(new RitualSymbol("circle.dashed", KS::textTertiary(), 11), 0,
                             Qt::AlignVCenter);
    m_missingText = wrapping(ritualLabel({}, 12, QFont::Normal, KS::textTertiary()));
    m_missingText->setObjectName("missingLine");
    missingLayout->addWidget(m_missingText, 1);
    layout->addWidget(m_missing);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    m_submit = new PillButton(q(m_form.submitTitle()), PillButtonStyle{true});
    m_submit->setObjectName("submitButton");
    connect(m_submit, &QPushButton::clicked, this, [this] {
        if (m_form.isSubmittable() && m_gate.onSubmit) {
            m_gate.onSubmit(m_form.assembled());
        }
    });
    buttons->addWidget(m_submit);
    m_copy = new PillButton("Copy as text", PillButtonStyle{});
    m_copy->setObjectName("copyButton");
    connect(m_copy, &QPushButton::clicked, this, [this] {
        if (!m_form.isSubmittable()) {
            return;
        }
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(q(m_form.assembled().asText()));
    });
    buttons->addWidget(m_copy);
    buttons->addStretch();
    layout->addLayout(buttons);
    return bar;
}

void MorningGateView::addBlock(int minutes)
{
    const std::string id = m_form.addBlock(minutes);
    rebuildRows();
    for (BlockEditorRow* row : m_rows) {
        if (row->blockID() == id) {
            row->taskField()->setFocus();
        }
    }
}

void MorningGateView::rebuildRows()
{
    for (BlockEditorRow* row : m_rows) {
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    for (const PlannedBlock& block : m_form.plan().blocks) {
        BlockEditorRow::Hooks hooks;
        hooks.onDelete = [this, id = block.id] {
            m_form.removeBlock(id);
            // Later: the row's own button is what called.
            QTimer::singleShot(0, this, [this] { rebuildRows(); });
        };
        hooks.onEdited = [this] { refreshDerived(); };
        hooks.pickApps = m_context.pickApps;
        hooks.lastUsedApps = m_context.lastUsedApps;
        auto* row = new BlockEditorRow(m_form, block.id, std::move(hooks));
        m_rowsLayout->addWidget(row);
        m_rows.push_back(row);
    }
    refreshDerived();
}

void MorningGateView::refreshDerived()
{
    const auto note = m_context.shutdownNote ? m_context.shutdownNote() : std::nullopt;
    m_noteCard->setVisible(note.has_value());
    m_noteText->setText(note ? q(*note) : QString());

    const auto total = m_form.plannedTotalText();
    m_total->setVisible(total.has_value());
    m_total->setText(total ? q(*total) : QString());

    const auto missing = m_form.missingLine();
    m_missing->setVisible(missing.has_value());
    m_missingText->setText(missing ? q(*missing) : QString());

    const bool submittable = !missing;
    m_submit->setEnabled(submittable);
    m_copy->setEnabled(submittable);
}

QPushButton* MorningGateView::submitButton() const
{
    return m_submit;
}

QPushButton* MorningGateView::copyButton() const
{
    return m_copy;
}

QPushButton* MorningGateView::closeButton() const
{
    return m_close;
}

void MorningGateView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeCloseButton();
}

void MorningGateView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refreshDerived();
    placeCloseButton();
    // Typing goes to the first block's task until the user picks another field.
    if (!focusWidget() && !m_rows.empty()) {
        m_rows.front()->taskField()->setFocus();
    }
}

void MorningGateView::placeCloseButton()
{
    if (!m_close) {
        return;
    }
    const QSize size = m_close->sizeHint();
    m_close->setGeometry(width() - 24 - size.width(), m_form.closeTopPadding(), size.width(),
                         size.height());
    m_close->raise();
}

} // namespace kestrove
