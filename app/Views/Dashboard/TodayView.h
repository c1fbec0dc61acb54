#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Share/ShareCard.h"
#include "ViewLogic/Shell/DashboardNavigation.h"
#include "ViewLogic/Today/TodayLoader.h"
#include "core/DaySummary.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QScrollArea;
class QVBoxLayout;

namespace kestrove {

class AssignSheet;
class HeroCard;
class SessionEngine;

// The dashboard page of one day: today, live, or the past day the navigation selected. It
// reads the day's segments through the database's thread, builds a past day's summary there,
// polls every 15 s while it shows today, and lays out the day's cards. Main thread only.
class TodayView final : public QWidget
{
public:
    // Cards of other windows the page embeds, built by the composition root; an empty hook
    // leaves its card out.
    struct Hooks
    {
        std::function<QWidget*()> focusTaskCard;
        std::function<QWidget*()> planCard;
        // Presents the share sheet of a day over the page.
        std::function<void(QWidget* over, const SharePeriod& period)> presentShare;
    };

    TodayView(SessionEngine& engine, DashboardNavigation& navigation, Hooks hooks = {},
              QWidget* parent = nullptr);
    ~TodayView() override;

    Date day() const;
    bool isToday() const;
    const DaySummary& shown() const;
    const std::vector<Segment>& segments() const { return m_segments; }
    bool loadFailed() const { return m_failed; }

    // Reads the shown day again; the newest read wins.
    void load();
    // Moves the selected day by `days`; reaching today selects today, live.
    void shift(int days);
    // Opens the assign sheet for one unassigned hint.
    void chooseHint(const TimeShare& hint);
    AssignSheet* assignSheet() const { return m_assignSheet; }
    bool isPolling() const { return m_poll.isActive(); }
    // The scrolled content: the day's sections, top to bottom.
    QWidget* content() const { return m_content; }
    // The texts of every label on the page, top to bottom, for tests and accessibility checks.
    QStringList texts() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void apply(TodayLoad load);
    // While the navigation asks for the share sheet, presents it once and clears the ask.
    void presentShareIfAsked();
    void dayChanged();
    void refreshIfChanged();
    void rebuild();
    void updatePolling();
    void refreshHero();

    QWidget* header();
    QWidget* permissionBanner();
    QWidget* shutdownNote(const std::string& plan);
    QWidget* legacyNote(Date accurateSince);
    QWidget* depthSection();
    QWidget* whereItWentCard();
    QWidget* blocksCard();
    QWidget* unassignedCardView();
    QWidget* errorLine();

    struct Signature;
    Signature signature() const;

    SessionEngine& m_engine;
    DashboardNavigation& m_navigation;
    Hooks m_hooks;
    TodayLoader m_loader;

    std::vector<Segment> m_segments;
    std::optional<DaySummary> m_pastSummary;
    std::optional<DaySummary> m_empty;
    bool m_legacyImported = false;
    bool m_failed = false;
    bool m_loadPending = false;
    std::optional<Date> m_shownSelectedDay;

    QScrollArea* m_scroll;
    QWidget* m_content = nullptr;
    HeroCard* m_hero = nullptr;
    AssignSheet* m_assignSheet = nullptr;
    QTimer m_poll;
    QTimer m_heroTimer;
    std::unique_ptr<Signature> m_lastSignature;
    Subscription m_navigationChanges;
    Subscription m_engineChanges;
    Subscription m_taskEnded;
};

} // namespace kestrove
