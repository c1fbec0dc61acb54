#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Shell/OnboardingModel.h"

#include <QWidget>

#include <functional>
#include <vector>

class QAbstractButton;
class QLabel;
class QStackedWidget;
class QTimer;

namespace kestrove {

class PillButton;
class PlainButton;
class SessionEngine;

// The first-run wizard: whether window titles can be read and what Kestrove records, the
// daily goal, and a closing word with "Start". Reads the permission again every 2 s while
// it is on screen.
class OnboardingView final : public QWidget
{
public:
    // `onStart` runs after "Start" has marked onboarding complete.
    OnboardingView(SessionEngine& engine, std::function<void()> onStart, QWidget* parent = nullptr);
    ~OnboardingView() override;

    const OnboardingModel& model() const { return m_model; }
    void goBack();
    void goOn();
    void chooseGoal(int hours);
    // Follows the permission and the goal as they are now.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildPermissions();
    QWidget* buildGoal();
    QWidget* buildDone();

    SessionEngine& m_engine;
    std::function<void()> m_onStart;
    OnboardingModel m_model;
    QTimer* m_timer;
    QStackedWidget* m_steps = nullptr;
    QWidget* m_granted = nullptr;
    PillButton* m_grant = nullptr;
    std::vector<QAbstractButton*> m_goalButtons;
    PlainButton* m_back = nullptr;
    PillButton* m_primary = nullptr;
    // Held while shown; other pages that show the permission share the one poll.
    Subscription m_poll;
};

} // namespace kestrove
