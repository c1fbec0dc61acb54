#pragma once

#include "ViewLogic/Lockdown/LockdownOverlay.h"
#include "ViewLogic/Lockdown/TimeUpModel.h"
#include "Views/Lockdown/OverlayParts.h"

#include <QWidget>

#include <functional>
#include <optional>

class QGraphicsOpacityEffect;
class QLabel;
class QPushButton;
class QStackedLayout;
class QVBoxLayout;

namespace kestrove {

// One screen's time-up prompt over the frosted screen: "Did you finish?" with a stepper of
// minutes to add, and the celebration card that "Yes, I'm done" turns it into on this screen
// only.
class TimeUpView final : public QWidget
{
public:
    using StatsSource = std::function<std::optional<SessionStats>()>;

    TimeUpView(const std::string& taskName, OverlayScreens::TimeUpActions actions,
               StatsSource stats, FrostedBackdrop backdrop = {}, QWidget* parent = nullptr);

    // Return: "Yes, I'm done" on the prompt, "Done" on the celebration.
    void activateDefault();
    const TimeUpModel& model() const { return m_model; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildPrompt();
    QWidget* buildStepper(QWidget* parent);
    QWidget* buildCelebration();
    void celebrate();
    void refresh();

    TimeUpModel m_model;
    OverlayScreens::TimeUpActions m_actions;
    StatsSource m_stats;
    FrostedBackdrop m_backdrop;
    QStackedLayout* m_cards = nullptr;
    QLabel* m_minutesLabel = nullptr;
    QPushButton* m_less = nullptr;
    QPushButton* m_more = nullptr;
    QLabel* m_celebratedName = nullptr;
    QVBoxLayout* m_figures = nullptr;
    QWidget* m_celebration = nullptr;
};

} // namespace kestrove
