#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace kestrove {

class SessionEngine;

// The popover's content: today's deep time against the goal, and the ways on: the dashboard,
// the settings and quitting. Redrawn every second while shown.
class MenuBarView final : public QWidget
{
public:
    struct Actions
    {
        std::function<void()> openDashboard;
        std::function<void()> openSettings;
        std::function<void()> quit;
    };

    MenuBarView(SessionEngine& engine, Actions actions, QWidget* parent = nullptr);

    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    SessionEngine& m_engine;
    Actions m_actions;
    QLabel* m_heroValue;
    QLabel* m_heroUnit;
    QLabel* m_goalLine;
    QTimer* m_timer;
};

} // namespace kestrove
