#pragma once

#include "Views/OnboardingView.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace kestrove {

class SessionEngine;

// The one onboarding window, titled "Welcome to Kestrove": built when shown, fronted when
// shown again, forgotten when "Start" closes it.
class OnboardingController
{
public:
    // `openToday` shows the dashboard on today once onboarding is complete.
    OnboardingController(SessionEngine& engine, std::function<void()> openToday);
    ~OnboardingController();
    OnboardingController(const OnboardingController&) = delete;
    OnboardingController& operator=(const OnboardingController&) = delete;

    void show();
    // The open window, or null.
    OnboardingView* window() const { return m_window; }

private:
    void finish();

    SessionEngine& m_engine;
    std::function<void()> m_openToday;
    QPointer<OnboardingView> m_window;
};

} // namespace kestrove
