#pragma once

#include "ViewLogic/Today/ReviewFigures.h"

#include <QWidget>

#include <vector>

namespace kestrove {

// A day's time split by kind as one proportional bar, 10 pt high, with no track behind it.
class KindBar final : public QWidget
{
public:
    explicit KindBar(const DaySummary& summary, QWidget* parent = nullptr);
    static std::vector<KindPart> parts(const DaySummary& summary) { return kindParts(summary); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<KindPart> m_parts;
};

// One review sentence with its tone's mark.
class ReviewRow final : public QWidget
{
public:
    explicit ReviewRow(const ReviewLine& line, QWidget* parent = nullptr);
};

// The review of one day: time tracked and at the desk, the kind bar and legend, the day's
// figures and what to change. The card is its own container.
class DayReviewCard final : public QWidget
{
public:
    DayReviewCard(const DaySummary& summary, double goalSeconds,
                  const std::vector<DayTotal>& recentDays, bool isToday = true,
                  QWidget* parent = nullptr);
    const DayReviewFigures& figures() const { return m_figures; }

private:
    DayReviewFigures m_figures;
};

// The review of one week: time at the desk, the week's figures and what to change.
class WeekReviewCard final : public QWidget
{
public:
    WeekReviewCard(const std::vector<DayTotal>& days, double goalSeconds,
                   const std::vector<DayTotal>& previousWeek, QWidget* parent = nullptr);
    const WeekReviewFigures& figures() const { return m_figures; }

private:
    WeekReviewFigures m_figures;
};

} // namespace kestrove
