#include "ViewLogic/Shell/OnboardingModel.h"

#include "core/NumberFormat.h"

namespace kestrove {

const std::array<std::string, 5>& OnboardingModel::recordedLines()
{
    static const std::array<std::string, 5> lines = {
        "App names, and how long you were in each.",
        "Window titles, except from browsers and from private apps (password managers, "
        "Messages, Mail…).",
        "Website domains only. Never the full URL.",
        "No keystrokes. No screenshots.",
        "Nothing leaves this computer. No account, no server.",
    };
    return lines;
}

const std::string& OnboardingModel::tagline()
{
    static const std::string text = "Exact deep work hours, by project.\nNo scores, no noise.";
    return text;
}

const std::string& OnboardingModel::goalCaption()
{
    static const std::string text =
        "About 4 hours of deep work a day is a strong, lasting target for most knowledge workers.";
    return text;
}

const std::string& OnboardingModel::doneText()
{
    // Kestrove lives in the tray of the desktop's panel.
    static const std::string text =
        "Kestrove runs in the system tray. Deep work is time you are active in a deep-work app or "
        "site, nothing else. Work for an hour, open the dashboard, and assign that hour to a "
        "project with one click. From then on it lands there by itself.";
    return text;
}

std::string OnboardingModel::goalLabel(int hours)
{
    return NumberFormat::integer(hours) + "h";
}

bool OnboardingModel::isHighlighted(int hours, double dailyGoalHours)
{
    return static_cast<double>(hours) == dailyGoalHours;
}

void OnboardingModel::back()
{
    if (m_step == Step::goal) {
        m_step = Step::permissions;
    } else if (m_step == Step::done) {
        m_step = Step::goal;
    }
}

bool OnboardingModel::primary(bool hasAccessibility)
{
    if (!isPrimaryEnabled(hasAccessibility)) {
        return false;
    }
    switch (m_step) {
    case Step::permissions:
        m_step = Step::goal;
        return false;
    case Step::goal:
        m_step = Step::done;
        return false;
    case Step::done:
        return true;
    }
    return false;
}

} // namespace kestrove
