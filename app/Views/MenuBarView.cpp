#include "Views/MenuBarView.h"

#include "Engine/SessionEngine.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"
#include "core/Duration.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace kestrove {

namespace {

QLabel* label(int pixelSize, QFont::Weight weight, const QColor& colour)
{
    QLabel* result = plainLabel({});
    result->setFont(uiFont(pixelSize, weight));
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, colour);
    result->setPalette(palette);
    return result;
}

} // namespace

MenuBarView::MenuBarView(SessionEngine& engine, Actions actions, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_actions(std::move(actions)), m_timer(new QTimer(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(6);

    auto* top = new QHBoxLayout;
    top->addWidget(new Eyebrow("Deep work today", KS::textTertiary()));
    top->addStretch();
    auto* more = new QToolButton;
    more->setText(QStringLiteral("\u22EF"));
    more->setFont(uiFont(14, QFont::DemiBold));
    more->setAutoRaise(true);
    more->setPopupMode(QToolButton::InstantPopup);
    more->setStyleSheet("QToolButton::menu-indicator { image: none; }");
    auto* menu = new QMenu(more);
    menu->addAction("Settings…", this, [this] {
        if (m_actions.openSettings) {
            m_actions.openSettings();
        }
    });
    menu->addSeparator();
    menu->addAction("Quit Kestrove", this, [this] {
        if (m_actions.quit) {
            m_actions.quit();
        }
    });
    more->setMenu(menu);
    top->addWidget(more);
    layout->addLayout(top);

    auto* hero = new QHBoxLayout;
    hero->setSpacing(6);
    m_heroValue = label(34, QFont::Bold, KS::text());
    m_heroUnit = label(13, QFont::Medium, KS::textTertiary());
    hero->addWidget(m_heroValue, 0, Qt::AlignBaseline);
    hero->addWidget(m_heroUnit, 0, Qt::AlignBaseline);
    hero->addStretch();
    layout->addLayout(hero);
    m_goalLine = label(11, QFont::Normal, KS::textTertiary());
    layout->addWidget(m_goalLine);

    layout->addSpacing(10);
    auto* row = new QHBoxLayout;
    auto* dashboard = new PillButton("Dashboard", PillButtonStyle{true});
    connect(dashboard, &QPushButton::clicked, this, [this] {
        if (m_actions.openDashboard) {
            m_actions.openDashboard();
        }
    });
    row->addWidget(dashboard);
    row->addStretch();
    layout->addLayout(row);

    connect(m_timer, &QTimer::timeout, this, &MenuBarView::refresh);
    refresh();
}

void MenuBarView::refresh()
{
    const auto hero = DurationFormat::hero(m_engine.liveDeepSecondsToday());
    m_heroValue->setText(QString::fromStdString(hero.value));
    m_heroUnit->setText(QString::fromStdString(hero.unit));
    const GoalTracker& goal = m_engine.goal();
    m_goalLine->setText(goal.isGoalAchieved()
                            ? QStringLiteral("Goal reached")
                            : QString::fromStdString(DurationFormat::hm(std::max(
                                                         0.0, goal.dailyGoalHours() * 3600 -
                                                                  goal.deepWorkSecondsToday())) +
                                                     " to " + goal.goalHoursLabel()));
}

void MenuBarView::showEvent(QShowEvent* event)
{
    refresh();
    m_timer->start(1000);
    QWidget::showEvent(event);
}

void MenuBarView::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

} // namespace kestrove
