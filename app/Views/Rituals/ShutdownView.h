#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Rituals/ShutdownModel.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace kestrove {

class SessionEngine;

// The evening shutdown: today's deep work against the goal, where it went by project, and
// tomorrow's plan as free text. "Shutdown Complete" hands the text to the engine; `onDone`
// then closes the window. The figures follow the engine while the window is open.
class ShutdownView final : public QWidget
{
public:
    ShutdownView(SessionEngine& engine, std::function<void()> onDone, QWidget* parent = nullptr);

    const ShutdownModel& model() const { return m_model; }
    QPlainTextEdit* planField() const { return m_plan; }
    QPushButton* completeButton() const { return m_complete; }

    void refresh();

private:
    SessionEngine& m_engine;
    std::function<void()> m_onDone;
    ShutdownModel m_model;
    QLabel* m_deep;
    QLabel* m_goal;
    QLabel* m_remaining;
    QWidget* m_projects;
    QVBoxLayout* m_projectRows;
    QPlainTextEdit* m_plan;
    QPushButton* m_complete;
    Subscription m_engineWatch;
    Subscription m_goalWatch;
};

// Opens the shutdown window, or brings the open one forward.
class ShutdownWindowController
{
public:
    explicit ShutdownWindowController(SessionEngine& engine) : m_engine(engine) {}
    ~ShutdownWindowController();

    void show();
    QWidget* window() const { return m_window; }

private:
    SessionEngine& m_engine;
    QPointer<QWidget> m_window;
};

} // namespace kestrove
