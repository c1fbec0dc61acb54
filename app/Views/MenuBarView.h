#pragma once

#include "ViewLogic/Shell/DashboardNavigation.h"
#include "ViewLogic/Shell/MenuBarModel.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QMenu;
class QTimer;
class QVBoxLayout;

namespace kestrove {

class ElidedText;
class KindDot;
class PlainButton;
class SessionEngine;
class Waterline;

// The popover's content: today's deep time against the goal, the day's plan, what is recorded
// now, the running focus task with its countdown, today's leading projects and the ways on.
// Redrawn every second while shown, and not at all while hidden; a widget is touched only
// when what it shows changed.
class MenuBarView final : public QWidget
{
public:
    // What the popover asks of the rest of the application.
    struct Actions
    {
        std::function<void(DashboardSection)> openDashboard;
        // The today page with its share sheet.
        std::function<void()> share;
        // The evening shutdown window; the menu offers it disabled while nothing fills this.
        std::function<void()> shutdownRitual;
        // Stops the engine, then ends the program.
        std::function<void()> quit;
        // The strip of today's plan; null, or no factory, leaves its place out.
        std::function<QWidget*()> planStrip;
    };

    MenuBarView(SessionEngine& engine, Actions actions, QWidget* parent = nullptr);
    ~MenuBarView() override;

    // Reads the engine and updates what changed.
    void refresh();
    // How often the engine was read; a hidden popover reads nothing.
    int refreshCount() const { return m_refreshCount; }
    const MenuBarContent& content() const { return m_content; }

    // The menus as they open now, rebuilt from the engine's state.
    QMenu* moreMenu();
    QMenu* pinMenu();

    // The finish buttons: "I finished", then "Confirm, I'm done" or "Cancel".
    void askToFinish();
    void confirmFinish();
    void cancelFinish();
    bool isConfirmingFinish() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildHero();
    QWidget* buildNow();
    QWidget* buildLockIn();
    QWidget* buildActions();
    void applyProjects(const std::vector<ProjectLine>& lines);
    void applyFinishButtons();
    void act(PopoverAction action);
    void pinChosen(const std::string& projectID);

    SessionEngine& m_engine;
    Actions m_actions;
    MenuBarContent m_content;
    bool m_hasContent = false;
    FinishConfirmation m_finish;
    int m_refreshCount = 0;
    QTimer* m_timer;

    QLabel* m_heroValue = nullptr;
    QLabel* m_heroUnit = nullptr;
    QLabel* m_goalLine = nullptr;
    Waterline* m_goalBar = nullptr;
    PlainButton* m_fixPermission = nullptr;
    PlainButton* m_more = nullptr;
    QMenu* m_moreMenu = nullptr;

    KindDot* m_kindDot = nullptr;
    ElidedText* m_nowTitle = nullptr;
    ElidedText* m_explanation = nullptr;
    PlainButton* m_pin = nullptr;
    QMenu* m_pinMenu = nullptr;

    QWidget* m_lockInSeparator = nullptr;
    QWidget* m_lockIn = nullptr;
    ElidedText* m_taskName = nullptr;
    QLabel* m_taskState = nullptr;
    QLabel* m_countdown = nullptr;
    PlainButton* m_finishButton = nullptr;
    PlainButton* m_confirmButton = nullptr;
    PlainButton* m_cancelButton = nullptr;
    Waterline* m_taskBar = nullptr;

    QWidget* m_projectsSeparator = nullptr;
    QWidget* m_projects = nullptr;
    QVBoxLayout* m_projectRows = nullptr;
    std::vector<ProjectLine> m_shownProjects;

    QWidget* m_lockInAction = nullptr;
};

} // namespace kestrove
