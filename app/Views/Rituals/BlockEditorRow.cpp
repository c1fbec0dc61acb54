#include "Views/Rituals/BlockEditorRow.h"

#include "ViewLogic/Rituals/DayPlanForm.h"
#include "Views/Components/Shapes.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

BlockEditorRow::BlockEditorRow(DayPlanForm& form, std::string blockID, Hooks hooks, QWidget* parent)
    : QWidget(parent), m_form(form), m_blockID(std::move(blockID)), m_hooks(std::move(hooks))
{
    setObjectName("blockEditorRow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);

    auto* first = new QHBoxLayout;
    first->setSpacing(8);
    auto* waves = new RitualSymbol(
        "water.waves",
        [] {
            QColor c = KS::deep();
            c.setAlphaF(0.8);
            return c;
        }(),
        11);
    auto* wavesFrame = new QWidget;
    wavesFrame->setFixedWidth(16);
    auto* wavesLayout = new QHBoxLayout(wavesFrame);
    wavesLayout->setContentsMargins(0, 0, 0, 0);
    wavesLayout->addWidget(waves, 0, Qt::AlignCenter);
    first->addWidget(wavesFrame);

    m_task = new QLineEdit;
    m_task->setObjectName("taskField");
    m_task->setFrame(false);
    m_task->setFont(uiFont(13));
    m_task->setPlaceholderText(q(BlockEditorRowModel::taskPlaceholder()));
    m_task->setStyleSheet("QLineEdit { background: transparent; border: none; }");
    QPalette fieldPalette = m_task->palette();
    fieldPalette.setColor(QPalette::Text, KS::text());
    fieldPalette.setColor(QPalette::PlaceholderText, KS::textTertiary());
    m_task->setPalette(fieldPalette);
    if (const PlannedBlock* block = m_form.block(m_blockID)) {
        m_task->setText(q(block->task));
    }
    connect(m_task, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_form.setTask(m_blockID, text.toStdString());
        edited();
    });
    first->addWidget(m_task, 1);

    m_minutes = new MenuChip(11, QFont::Medium);
    m_minutes->setObjectName("minutesMenu");
    m_minutes->setFixedWidth(52);
    QMenu* minutesMenu = m_minutes->resetMenu();
    for (const auto& item : BlockEditorRowModel::minutesMenu()) {
        minutesMenu->addAction(q(item.title), this, [this, minutes = *item.value] {
            m_form.setMinutes(m_blockID, minutes);
            edited();
        });
    }
    first->addWidget(m_minutes);

    auto* remove = new QToolButton;
    remove->setObjectName("removeBlock");
    remove->setAutoRaise(true);
    remove->setIcon(symbolIcon(u"xmark", KS::textTertiary(), 9));
    remove->setIconSize(QSize(9, 9));
    remove->setToolTip(plainToolTip("Remove this block"));
    remove->setCursor(Qt::PointingHandCursor);
    remove->setStyleSheet("QToolButton { border: none; background: transparent; }");
    connect(remove, &QToolButton::clicked, this, [this] {
        if (m_hooks.onDelete) {
            m_hooks.onDelete();
        }
    });
    first->addWidget(remove);
    layout->addLayout(first);

    auto* second = new QHBoxLayout;
    second->setSpacing(6);
    second->addSpacing(16);
    m_mode = new MenuChip(11, QFont::Normal);
    m_mode->setObjectName("modeMenu");
    m_mode->setFixedWidth(88);
    QMenu* modeMenu = m_mode->resetMenu();
    for (const BlockMode mode : {BlockMode::locked, BlockMode::away}) {
        modeMenu->addAction(symbolIcon(mode == BlockMode::locked ? u"lock.fill" : u"figure.walk",
                                       KS::textSecondary(), 12),
                            q(BlockEditorRowModel::modeItemTitle(mode)), this, [this, mode] {
                                m_form.setMode(m_blockID, mode);
                                edited();
                            });
    }
    second->addWidget(m_mode);

    m_time = new MenuChip(11, QFont::Medium);
    m_time->setObjectName("timeMenu");
    m_time->setFixedWidth(78);
    QMenu* timeMenu = m_time->resetMenu();
    for (const auto& item : BlockEditorRowModel::timeMenu()) {
        timeMenu->addAction(q(item.title), this, [this, value = item.value] {
            m_form.setStartMinute(m_blockID, value);
            edited();
        });
    }
    second->addWidget(m_time);

    m_apps = new QToolButton;
    m_apps->setObjectName("appsButton");
    m_apps->setFont(uiFont(11));
    m_apps->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_apps->setIconSize(QSize(9, 9));
    m_apps->setCursor(Qt::PointingHandCursor);
    m_apps->setToolTip(plainToolTip(q(BlockEditorRowModel::appsToolTip())));
    connect(m_apps, &QToolButton::clicked, this, [this] { openPicker(); });
    second->addWidget(m_apps);
    second->addStretch();
    layout->addLayout(second);

    refresh();
}

void BlockEditorRow::edited()
{
    refresh();
    if (m_hooks.onEdited) {
        m_hooks.onEdited();
    }
}

void BlockEditorRow::openPicker()
{
    const PlannedBlock* block = m_form.block(m_blockID);
    if (!block || !m_hooks.pickApps) {
        return;
    }
    const auto selection = BlockEditorRowModel::pickerSelection(*block, m_hooks.lastUsedApps);
    m_hooks.pickApps(m_apps, {}, selection, [this](const std::set<std::string>& picked) {
        m_form.setApps(m_blockID, picked);
        edited();
    });
}

void BlockEditorRow::refresh()
{
    const PlannedBlock* block = m_form.block(m_blockID);
    if (!block) {
        return;
    }
    m_minutes->setLabel(q(BlockEditorRowModel::minutesLabel(*block)), KS::text());
    const bool away = block->isAway();
    const QColor modeColour = away ? KS::deepLight() : KS::textSecondary();
    m_mode->setLabel(q(BlockEditorRowModel::modeLabel(block->mode)), modeColour,
                     away ? u"figure.walk" : u"lock.fill");
    m_mode->setToolTip(plainToolTip(q(BlockEditorRowModel::modeToolTip(block->mode))));
    m_time->setLabel(q(BlockEditorRowModel::timeLabel(*block)),
                     block->startMinuteOfDay ? KS::textSecondary() : KS::textTertiary());

    m_apps->setVisible(!away);
    const bool hasApps = block->hasApps();
    const QColor appsColour = hasApps ? KS::textSecondary() : KS::shallow();
    m_apps->setText(q(BlockEditorRowModel::appsLabel(*block)));
    m_apps->setIcon(
        symbolIcon(hasApps ? u"checkmark.circle.fill" : u"exclamationmark.circle", appsColour, 9));
    m_apps->setStyleSheet(QString("QToolButton { border: none; border-radius: 9px; "
                                  "background: rgba(255, 255, 255, 15); padding: 3px 8px; "
                                  "color: rgba(%1, %2, %3, %4); }")
                              .arg(appsColour.red())
                              .arg(appsColour.green())
                              .arg(appsColour.blue())
                              .arg(appsColour.alpha()));
    update();
}

void BlockEditorRow::paintEvent(QPaintEvent*)
{
    const PlannedBlock* block = m_form.block(m_blockID);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = continuousRoundedRect(bounds, 10);
    painter.fillPath(shape, KS::surface2());
    QColor stroke = KS::border();
    if (block && BlockEditorRowModel::needsApps(*block)) {
        stroke = KS::shallow();
        stroke.setAlphaF(0.55);
    }
    painter.setPen(QPen(stroke, 1));
    painter.drawPath(shape);
}

} // namespace kestrove
