#pragma once

#include <array>
#include <string>

namespace kestrove {

// The first-run wizard's three steps: the permission with what is recorded, the daily goal,
// and the closing word. Its step is lost when the window closes.
class OnboardingModel
{
public:
    static constexpr const char* kCompleteKey = "onboardingComplete";
    static constexpr const char* kWindowTitle = "Welcome to Kestrove";
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 400;
    static constexpr std::array<int, 6> kGoalChoices = {2, 3, 4, 5, 6, 8};

    enum class Step
    {
        permissions,
        goal,
        done
    };

    // What Kestrove records, as the first step says it.
    static const std::array<std::string, 5>& recordedLines();
    static const std::string& tagline();
    static const std::string& goalCaption();
    static const std::string& doneText();
    // "4h".
    static std::string goalLabel(int hours);
    // The goal button shown as chosen: the one equal to the current goal exactly, if any.
    static bool isHighlighted(int hours, double dailyGoalHours);

    Step step() const { return m_step; }
    int stepIndex() const { return static_cast<int>(m_step); }
    // Dot i is lit from the first step up to the current one.
    bool isDotLit(int index) const { return index <= stepIndex(); }
    bool showsBack() const { return m_step != Step::permissions; }
    std::string primaryTitle() const { return m_step == Step::done ? "Start" : "Continue"; }
    // The permission step cannot be left while window titles cannot be read.
    bool isPrimaryEnabled(bool hasAccessibility) const
    {
        return m_step != Step::permissions || hasAccessibility;
    }

    void back();
    // Continue: the next step. Returns true when this was "Start" on the last step: the
    // caller marks onboarding complete, closes the window and opens the dashboard.
    bool primary(bool hasAccessibility);

private:
    Step m_step = Step::permissions;
};

} // namespace kestrove
