#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Shell/DashboardNavigation.h"
#include "ViewLogic/Week/WeekLoader.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QScrollArea;

namespace kestrove {

class SessionEngine;

// The dashboard page of one calendar week: its five figures, review, chart of deep hours per
// day, its days (each opens on the today page) and its projects. It reads the week when it is
// made and when the week changes, and redraws when the goal, the streak, the recent days or
// the projects change. Main thread only.
class WeekView final : public QWidget
{
public:
    // Shares the shown week, from its first day to the start of the week after, over the page.
    using Share = std::function<void(QWidget* over, Date weekStart, Date weekEnd)>;

    WeekView(SessionEngine& engine, DashboardNavigation& navigation, Share share = {},
             QWidget* parent = nullptr);
    ~WeekView() override;

    int weekOffset() const { return m_weekOffset; }
    Date weekStart() const;
    const std::vector<DayTotal>& days() const { return m_days; }
    const std::vector<TimeShare>& projectTotals() const { return m_projectTotals; }
    bool loadFailed() const { return m_failed; }

    // Moves to another week; never past the current one.
    void setWeekOffset(int offset);
    void load();
    QWidget* content() const { return m_content; }
    // The texts of every label on the page, top to bottom.
    QStringList texts() const;

private:
    void apply(WeekLoad load);
    void refreshIfChanged();
    void rebuild();
    QWidget* header();
    QWidget* summaryRow();
    QWidget* chartCard();
    QWidget* daysCard();
    QWidget* projectsCard();

    struct Signature;
    Signature signature() const;

    SessionEngine& m_engine;
    DashboardNavigation& m_navigation;
    Share m_share;
    WeekLoader m_loader;
    int m_weekOffset = 0;
    std::vector<DayTotal> m_days;
    std::vector<TimeShare> m_projectTotals;
    bool m_failed = false;
    bool m_loadPending = false;

    QScrollArea* m_scroll;
    QWidget* m_content = nullptr;
    std::unique_ptr<Signature> m_lastSignature;
    Subscription m_engineChanges;
    Subscription m_projectChanges;
};

} // namespace kestrove
