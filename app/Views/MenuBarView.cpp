#include "Views/MenuBarView.h"

#include "Engine/SessionEngine.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/KindDot.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/Symbol.h"
#include "Views/Components/Waterline.h"
#include "Views/Lockdown/OverlayParts.h"
#include "Views/PlainText.h"
#include "Views/Shell/PopoverParts.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kestrove {

namespace {

constexpr const char* kPinHelp =
    "Attribute deep work to a project by hand until you unpin or go idle for 20 minutes";

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

QWidget* section(QLayout* layout, int left, int top, int right, int bottom)
{
    auto* widget = new QWidget;
    layout->setContentsMargins(left, top, right, bottom);
    widget->setLayout(layout);
    return widget;
}

QFont tracked(QFont font, qreal spacing)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

// One of our symbols as a menu icon.
QIcon symbolIcon(const QString& name, const QColor& colour)
{
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintSymbol(painter, name, QRectF(2, 2, 12, 12), colour);
    return QIcon(pixmap);
}

// Moves a bar only by whole pixels: the goal and the task grow by a fraction of a pixel each
// second, and the bar's spring would otherwise animate every one of them.
void setBarProgress(Waterline& bar, double progress)
{
    const int pixels = bar.width();
    double shown = std::clamp(progress, 0.0, 1.0);
    if (pixels >= 10) {
        shown = std::round(shown * pixels) / pixels;
    }
    if (shown != bar.progress()) {
        bar.setProgress(shown);
    }
}

// Opens a menu under the button that shows it, as a menu button does.
void popUnder(QMenu* menu, QWidget* button)
{
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

} // namespace

MenuBarView::MenuBarView(SessionEngine& engine, Actions actions, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_actions(std::move(actions)), m_timer(new QTimer(this)),
      m_moreMenu(new QMenu(this)), m_pinMenu(new QMenu(this))
{
    setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(buildHero());
    if (QWidget* strip = m_actions.planStrip ? m_actions.planStrip() : nullptr) {
        // The strip pads itself.
        layout->addWidget(hairline(KS::border()));
        layout->addWidget(strip);
    }
    layout->addWidget(hairline(KS::border()));
    layout->addWidget(buildNow());
    m_lockInSeparator = hairline(KS::border());
    layout->addWidget(m_lockInSeparator);
    layout->addWidget(buildLockIn());
    m_projectsSeparator = hairline(KS::border());
    layout->addWidget(m_projectsSeparator);
    m_projectRows = new QVBoxLayout;
    m_projectRows->setSpacing(6);
    m_projects = section(m_projectRows, 16, 10, 16, 10);
    layout->addWidget(m_projects);
    layout->addWidget(hairline(KS::border()));
    layout->addWidget(buildActions());

    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &MenuBarView::refresh);
    refresh();
}

MenuBarView::~MenuBarView() = default;

QWidget* MenuBarView::buildHero()
{
    auto* column = new QVBoxLayout;
    column->setSpacing(10);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(new Eyebrow("Deep work today", KS::textTertiary()));
    top->addStretch();
    m_fixPermission = new PlainButton("exclamationmark.triangle.fill", "Fix permission",
                                      uiFont(10, QFont::DemiBold), KS::shallow());
    m_fixPermission->setToolTip("Kestrove reads window titles through the X display");
    connect(m_fixPermission, &QAbstractButton::clicked, this, [this] {
        // Nothing to ask the user for here: read the display's state again.
        m_engine.permissions().refreshAccessibility();
        refresh();
    });
    top->addWidget(m_fixPermission);
    m_more = new PlainButton("ellipsis", {}, uiFont(12, QFont::DemiBold), KS::textSecondary());
    m_more->setSymbolSize(14);
    m_more->setAccessibleName("More");
    connect(m_more, &QAbstractButton::clicked, this, [this] { popUnder(moreMenu(), m_more); });
    top->addWidget(m_more);
    column->addLayout(top);

    auto* figure = new QHBoxLayout;
    figure->setSpacing(6);
    m_heroValue = textLabel({}, 40, QFont::ExtraBold, KS::text());
    m_heroValue->setFont(tracked(uiFont(40, QFont::ExtraBold), -1.5));
    m_heroUnit = textLabel({}, 15, QFont::DemiBold, KS::textSecondary());
    m_goalLine = textLabel({}, 11, QFont::Normal, KS::textTertiary());
    figure->addWidget(m_heroValue, 0, Qt::AlignBaseline);
    figure->addWidget(m_heroUnit, 0, Qt::AlignBaseline);
    figure->addStretch();
    figure->addWidget(m_goalLine, 0, Qt::AlignBaseline);
    column->addLayout(figure);

    m_goalBar = new Waterline(0, 4, KS::deepGradient());
    column->addWidget(m_goalBar);
    return section(column, 16, 16, 16, 14);
}

QWidget* MenuBarView::buildNow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    m_kindDot = new KindDot(ContextKind::neutral, 8);
    row->addWidget(m_kindDot, 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    m_nowTitle = new ElidedText({}, 12, QFont::DemiBold, KS::text());
    // Two lines at most, the second cut with an ellipsis; it wraps rather than being squeezed.
    m_explanation = new ElidedText({}, 11, QFont::Normal, KS::textTertiary());
    m_explanation->setMaximumLines(2);
    text->addWidget(m_nowTitle);
    text->addWidget(m_explanation);
    row->addLayout(text, 1);

    m_pin = new PlainButton("pin", "Working on…", uiFont(11, QFont::Medium), KS::textSecondary());
    m_pin->setToolTip(kPinHelp);
    connect(m_pin, &QAbstractButton::clicked, this, [this] { popUnder(pinMenu(), m_pin); });
    row->addWidget(m_pin, 0, Qt::AlignVCenter);
    return section(row, 16, 12, 16, 12);
}

QWidget* MenuBarView::buildLockIn()
{
    auto* column = new QVBoxLayout;
    column->setSpacing(8);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    header->addWidget(new SymbolView("lock.fill", 10, KS::deepLight()), 0, Qt::AlignVCenter);
    m_taskName = new ElidedText({}, 12, QFont::DemiBold, KS::text());
    header->addWidget(m_taskName, 1);
    m_taskState = textLabel({}, 11, QFont::DemiBold, KS::success());
    m_taskState->setFont(tracked(uiFont(11, QFont::DemiBold), 1));
    header->addWidget(m_taskState);
    column->addLayout(header);

    auto* countdown = new QHBoxLayout;
    countdown->setSpacing(6);
    m_countdown = textLabel({}, 28, QFont::Bold, KS::text());
    countdown->addWidget(m_countdown, 0, Qt::AlignBaseline);
    countdown->addWidget(textLabel("left", 12, QFont::Normal, KS::textTertiary()), 0,
                         Qt::AlignBaseline);
    countdown->addStretch();
    m_finishButton = new PlainButton({}, "I finished", uiFont(11), KS::success());
    m_confirmButton =
        new PlainButton({}, "Confirm, I'm done", uiFont(11, QFont::DemiBold), KS::success());
    m_cancelButton = new PlainButton({}, "Cancel", uiFont(11), KS::textTertiary());
    connect(m_finishButton, &QAbstractButton::clicked, this, &MenuBarView::askToFinish);
    connect(m_confirmButton, &QAbstractButton::clicked, this, &MenuBarView::confirmFinish);
    connect(m_cancelButton, &QAbstractButton::clicked, this, &MenuBarView::cancelFinish);
    for (QWidget* button : {m_finishButton, m_confirmButton, m_cancelButton}) {
        countdown->addWidget(button, 0, Qt::AlignVCenter);
    }
    column->addLayout(countdown);

    m_taskBar = new Waterline(0, 3, KS::deepGradient());
    column->addWidget(m_taskBar);
    m_lockIn = section(column, 16, 12, 16, 12);
    return m_lockIn;
}

QWidget* MenuBarView::buildActions()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    auto* dashboard = new SymbolPill("square.grid.2x2", "Dashboard", PillButtonStyle{true});
    auto* lockIn = new SymbolPill("lock", "Lock in", PillButtonStyle{false});
    auto* share = new SymbolPill("arrow.up.right", "Share", PillButtonStyle{false});
    share->setToolTip("Share today's card");
    connect(dashboard, &QPushButton::clicked, this, [this] { act(PopoverAction::dashboard); });
    connect(lockIn, &QPushButton::clicked, this, [this] { act(PopoverAction::lockIn); });
    connect(share, &QPushButton::clicked, this, [this] { act(PopoverAction::share); });
    row->addWidget(dashboard);
    row->addWidget(lockIn);
    row->addWidget(share);
    row->addStretch();
    m_lockInAction = lockIn;
    return section(row, 16, 12, 16, 12);
}

void MenuBarView::refresh()
{
    ++m_refreshCount;
    MenuBarContent next = menuBarContent(m_engine);
    if (m_hasContent && next == m_content) {
        applyFinishButtons();
        return;
    }
    m_hasContent = true;
    m_content = std::move(next);
    const MenuBarContent& c = m_content;

    m_heroValue->setText(qt(c.heroValue));
    m_heroUnit->setText(qt(c.heroUnit));
    m_goalLine->setText(qt(c.goalOrPauseLine));
    m_goalLine->setFont(uiFont(11, c.isPaused ? QFont::DemiBold : QFont::Normal));
    setLabelColour(*m_goalLine, c.isPaused ? KS::shallow() : KS::textTertiary());
    setBarProgress(*m_goalBar, c.goalProgress);
    m_fixPermission->setVisible(c.showFixPermission);

    m_kindDot->setKind(c.kind);
    m_nowTitle->setText(qt(c.nowTitle));
    m_explanation->setText(qt(c.explanation));
    m_pin->setText(qt(c.pinLabel));
    m_pin->setSymbol(c.isPinned ? "pin.fill" : "pin");
    m_pin->setTint(c.isPinned ? KS::deepLight() : KS::textSecondary());
    m_pin->updateGeometry();

    m_lockInSeparator->setVisible(c.hasTask);
    m_lockIn->setVisible(c.hasTask);
    if (c.hasTask) {
        m_taskName->setText(qt(c.taskName));
        m_taskState->setText(qt(c.taskStateWord));
        setLabelColour(*m_taskState,
                       c.taskState == TaskCounting::onTask ? KS::success() : KS::shallow());
        m_countdown->setText(qt(c.countdown));
        m_taskBar->setVisible(c.taskProgress.has_value());
        setBarProgress(*m_taskBar, c.taskProgress.value_or(0));
    }
    applyFinishButtons();

    applyProjects(c.projects);
    m_lockInAction->setVisible(!c.hasTask);
}

void MenuBarView::applyFinishButtons()
{
    const bool confirming = isConfirmingFinish();
    m_finishButton->setVisible(!confirming);
    m_confirmButton->setVisible(confirming);
    m_cancelButton->setVisible(confirming);
}

void MenuBarView::applyProjects(const std::vector<ProjectLine>& lines)
{
    m_projectsSeparator->setVisible(!lines.empty());
    m_projects->setVisible(!lines.empty());
    if (lines == m_shownProjects) {
        return;
    }
    m_shownProjects = lines;
    while (QLayoutItem* item = m_projectRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const ProjectLine& line : lines) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        layout->addWidget(new ProjectDot(line.colorKey, 7), 0, Qt::AlignVCenter);
        layout->addWidget(
            new ElidedText(qt(line.name), 11, line.isUnassigned ? QFont::Normal : QFont::Medium,
                           line.isUnassigned ? KS::textTertiary() : KS::textSecondary()),
            1);
        layout->addWidget(textLabel(qt(line.time), 11, QFont::Medium, KS::textTertiary()));
        m_projectRows->addWidget(row);
    }
}

QMenu* MenuBarView::moreMenu()
{
    m_moreMenu->clear();
    for (const MoreMenuEntry& entry :
         moreMenuEntries(m_engine.tracker().isPaused(), m_engine.isShutdownComplete())) {
        const QString label = qt(entry.label);
        switch (entry.kind) {
        case MoreMenuEntry::Kind::resume:
            m_moreMenu->addAction(label, this, [this] {
                m_engine.resumeTracking();
                refresh();
            });
            break;
        case MoreMenuEntry::Kind::pauseSubmenu: {
            QMenu* pause = m_moreMenu->addMenu(label);
            for (const PauseChoice& choice : pauseChoices()) {
                pause->addAction(qt(choice.label), this, [this, minutes = choice.minutes] {
                    m_engine.pauseTracking(minutes);
                    refresh();
                });
            }
            break;
        }
        case MoreMenuEntry::Kind::divider:
            m_moreMenu->addSeparator();
            break;
        case MoreMenuEntry::Kind::shutdownRitual: {
            QAction* action = m_moreMenu->addAction(label, this, [this] {
                if (m_actions.shutdownRitual) {
                    m_actions.shutdownRitual();
                }
            });
            action->setEnabled(static_cast<bool>(m_actions.shutdownRitual));
            break;
        }
        case MoreMenuEntry::Kind::settings:
            m_moreMenu->addAction(label, this, [this] {
                if (m_actions.openDashboard) {
                    m_actions.openDashboard(DashboardSection::settings);
                }
            });
            break;
        case MoreMenuEntry::Kind::quit:
            m_moreMenu->addAction(label, this, [this] {
                if (m_actions.quit) {
                    m_actions.quit();
                }
            });
            break;
        }
    }
    return m_moreMenu;
}

QMenu* MenuBarView::pinMenu()
{
    m_pinMenu->clear();
    m_pinMenu->setToolTipsVisible(true);
    const ProjectStore& projects = m_engine.projects();
    for (const PinMenuEntry& entry :
         pinMenuEntries(projects.activeProjects(), projects.pinnedProjectID())) {
        // Project names come from the user: "&" must not become a shortcut.
        QString label = qt(entry.label);
        label.replace('&', "&&");
        switch (entry.kind) {
        case PinMenuEntry::Kind::project: {
            QAction* action =
                m_pinMenu->addAction(label, this, [this, id = entry.projectID] { pinChosen(id); });
            if (entry.isChecked) {
                action->setIcon(symbolIcon("checkmark", KS::text()));
            }
            action->setData(qt(entry.projectID));
            break;
        }
        case PinMenuEntry::Kind::noProjects:
            m_pinMenu->addAction(label)->setEnabled(false);
            break;
        case PinMenuEntry::Kind::manage:
            m_pinMenu->addAction(label, this, [this] {
                if (m_actions.openDashboard) {
                    m_actions.openDashboard(DashboardSection::projects);
                }
            });
            break;
        case PinMenuEntry::Kind::divider:
            m_pinMenu->addSeparator();
            break;
        case PinMenuEntry::Kind::unpin:
            m_pinMenu->addAction(label, this, [this] {
                m_engine.pinProject(std::nullopt);
                refresh();
            });
            break;
        }
    }
    return m_pinMenu;
}

void MenuBarView::pinChosen(const std::string& projectID)
{
    m_engine.pinProject(pinChoice(projectID, m_engine.projects().pinnedProjectID()));
    refresh();
}

void MenuBarView::askToFinish()
{
    m_finish.ask(m_engine.focusTaskManager().active());
    applyFinishButtons();
}

void MenuBarView::confirmFinish()
{
    const bool forRunningTask = m_finish.confirm(m_engine.focusTaskManager().active());
    applyFinishButtons();
    if (forRunningTask) {
        m_engine.endFocusTask(FocusTask::EndReason::completed);
    }
    refresh();
}

void MenuBarView::cancelFinish()
{
    m_finish.cancel();
    applyFinishButtons();
}

bool MenuBarView::isConfirmingFinish() const
{
    return m_finish.isConfirming(m_engine.focusTaskManager().active());
}

void MenuBarView::act(PopoverAction action)
{
    switch (action) {
    case PopoverAction::dashboard:
        if (m_actions.openDashboard) {
            m_actions.openDashboard(DashboardSection::today);
        }
        break;
    case PopoverAction::lockIn:
        if (m_actions.openDashboard) {
            m_actions.openDashboard(DashboardSection::lockIn);
        }
        break;
    case PopoverAction::share:
        if (m_actions.share) {
            m_actions.share();
        }
        break;
    }
}

void MenuBarView::showEvent(QShowEvent* event)
{
    refresh();
    m_timer->start();
    QWidget::showEvent(event);
}

void MenuBarView::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

} // namespace kestrove
