#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Rituals/PlanViews.h"
#include "Views/Rituals/RitualParts.h"

#include <QWidget>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QLabel;
class QVBoxLayout;

namespace kestrove {

class SessionEngine;

// Where the plan's views lead: the application picker, and the dashboard's today page.
struct PlanViewHooks
{
    AppPicker pickApps;
    std::function<void()> showToday;
};

// One block of today's plan on the card: its time, task, state and the control that starts,
// follows or reopens it.
class PlanBlockRow final : public QWidget
{
public:
    PlanBlockRow(SessionEngine& engine, PlannedBlock block, AppPicker pickApps,
                 QWidget* parent = nullptr);

    const PlanBlockRowModel& model() const { return m_model; }
    // The waiting block's button; absent for a running or done block.
    QPushButton* startButton() const { return m_start; }
    QToolButton* stateMenu() const { return m_state; }

private:
    void startFlow();

    SessionEngine& m_engine;
    PlanBlockRowModel m_model;
    AppPicker m_pickApps;
    QPushButton* m_start = nullptr;
    QToolButton* m_state = nullptr;
};

// Today's plan on the today page, redrawn whenever the plan or the running task changes.
class PlanCard final : public QWidget
{
public:
    PlanCard(SessionEngine& engine, PlanViewHooks hooks, QWidget* parent = nullptr);

    const PlanCardModel& model() const { return m_model; }
    std::vector<PlanBlockRow*> rows() const { return m_rows; }
    QPushButton* headerButton() const { return m_button; }

    void refresh();

private:
    SessionEngine& m_engine;
    PlanViewHooks m_hooks;
    PlanCardModel m_model;
    QLabel* m_summary;
    QPushButton* m_button;
    QVBoxLayout* m_body;
    std::vector<PlanBlockRow*> m_rows;
    QWidget* m_empty;
    Subscription m_planWatch;
    Subscription m_taskWatch;
};

// The popover's line on the plan: the next block with its start button, or the way to the
// plan editor. Built with only the engine and where a refused start leads.
class PlanStrip final : public QWidget
{
public:
    PlanStrip(SessionEngine& engine, std::function<void()> showToday, QWidget* parent = nullptr);

    const PlanStripModel& model() const { return m_model; }
    QPushButton* button() const { return m_button; }

    void refresh();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    SessionEngine& m_engine;
    std::function<void()> m_showToday;
    PlanStripModel m_model;
    RitualSymbol* m_symbol;
    QLabel* m_title;
    QLabel* m_details;
    RitualSymbol* m_chevron;
    QPushButton* m_button;
    Subscription m_planWatch;
    Subscription m_taskWatch;
};

} // namespace kestrove
