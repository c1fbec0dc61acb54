#include "core/WorkReview.h"

#include "core/Calendar.h"
#include "core/DateText.h"
#include "core/Duration.h"
#include "core/NumberFormat.h"

#include <algorithm>

namespace kestrove {

namespace {

using DurationFormat::hm;
using DurationFormat::percent;
using Tone = ReviewLine::Tone;

// Collects the sentences while the rules run, then puts them in the order the cards show.
class Judgement
{
public:
    void add(Tone tone, std::string text) { listFor(tone).push_back({std::move(text), tone}); }

    bool empty() const { return m_fixes.empty() && m_goods.empty() && m_watches.empty(); }

    // All fixes, the first good, all watches, the other goods; the fallback when nothing
    // was said.
    std::vector<ReviewLine> combined(int limit, std::string fallback) const
    {
        std::vector<ReviewLine> result = m_fixes;
        if (!m_goods.empty()) {
            result.push_back(m_goods.front());
        }
        result.insert(result.end(), m_watches.begin(), m_watches.end());
        if (m_goods.size() > 1) {
            result.insert(result.end(), m_goods.begin() + 1, m_goods.end());
        }
        if (result.empty()) {
            result.push_back({std::move(fallback), Tone::good});
        }
        result.resize(std::min(result.size(), static_cast<std::size_t>(std::max(limit, 0))));
        return result;
    }

private:
    std::vector<ReviewLine>& listFor(Tone tone)
    {
        switch (tone) {
        case Tone::fix:
            return m_fixes;
        case Tone::watch:
            return m_watches;
        case Tone::good:
            break;
        }
        return m_goods;
    }

    std::vector<ReviewLine> m_fixes;
    std::vector<ReviewLine> m_goods;
    std::vector<ReviewLine> m_watches;
};

std::string count(std::size_t n)
{
    return NumberFormat::integer(static_cast<std::int64_t>(n));
}

// "08:05": the review's own 24-hour clock, not the locale's.
std::string clock(Date date)
{
    return NumberFormat::padded(Calendar::hour(date), 2) + ":" +
           NumberFormat::padded(Calendar::minute(date), 2);
}

std::vector<DayTotal> withDeepWork(const std::vector<DayTotal>& days)
{
    std::vector<DayTotal> result;
    std::copy_if(days.begin(), days.end(), std::back_inserter(result),
                 [](const DayTotal& day) { return day.deepSeconds >= 60; });
    return result;
}

double meanDeepSeconds(const std::vector<DayTotal>& days)
{
    double sum = 0;
    for (const auto& day : days) {
        sum += day.deepSeconds;
    }
    return sum / static_cast<double>(days.size());
}

void judgePieces(const DaySummary& today, Judgement& judgement)
{
    const auto longest = today.longestBlock();
    if (!longest) {
        return;
    }
    const auto pieces = std::count_if(today.blocks.begin(), today.blocks.end(),
                                      [](const FocusBlock& b) { return b.deepSeconds >= 60; });
    if (pieces >= 4 && longest->deepSeconds < 2700) {
        judgement.add(Tone::fix, "Your deep work came in " + count(pieces) +
                                     " pieces. The longest was " + hm(longest->deepSeconds) +
                                     ". One protected hour beats six scattered ones.");
    } else if (longest->deepSeconds >= 3600) {
        judgement.add(Tone::good, "Longest unbroken stretch: " + hm(longest->deepSeconds) +
                                      ". That is the shape to repeat.");
    }
}

void judgeShallowAndDistraction(const DaySummary& today, Judgement& judgement)
{
    const double deep = today.deepSeconds;
    const double shallow = today.shallowSeconds;
    if (deep < shallow && shallow >= 1800) {
        std::string text =
            "More shallow than deep today: " + hm(shallow) + " against " + hm(deep) + ".";
        if (!today.topShallow.empty() && today.topShallow.front().seconds >= 1200) {
            const auto& top = today.topShallow.front();
            text += " Most of it: " + top.name + " (" + hm(top.seconds) + ").";
        }
        judgement.add(Tone::fix, std::move(text));
    }
    if (today.distractionSeconds >= 1200) {
        std::string text = hm(today.distractionSeconds) + " on distractions.";
        if (!today.topDistractions.empty()) {
            const auto& top = today.topDistractions.front();
            text += " Most of it: " + top.name + " (" + hm(top.seconds) + ").";
        }
        judgement.add(Tone::watch, std::move(text));
    }
}

void judgeStartAndUnassigned(const DaySummary& today, Judgement& judgement)
{
    if (today.firstDeep) {
        const int hour = Calendar::hour(*today.firstDeep);
        if (hour >= 11) {
            judgement.add(Tone::watch, "First deep work at " + clock(*today.firstDeep) +
                                           ". The morning went somewhere else.");
        } else if (hour <= 8) {
            judgement.add(Tone::good, "Deep work started at " + clock(*today.firstDeep) + ".");
        }
    }
    const auto unassigned =
        std::find_if(today.byProject.begin(), today.byProject.end(),
                     [](const TimeShare& row) { return row.name == DaySummary::kUnassignedLabel; });
    if (unassigned != today.byProject.end() && unassigned->seconds >= 1800) {
        judgement.add(Tone::watch, hm(unassigned->seconds) +
                                       " of deep work is unassigned. Assign it and the week "
                                       "starts telling you where it went.");
    }
}

void judgeGoalAndAverage(double deep, double goalSeconds, const std::vector<DayTotal>& recentDays,
                         Judgement& judgement)
{
    if (goalSeconds > 0) {
        if (deep >= goalSeconds) {
            judgement.add(Tone::good, "Past your " + hm(goalSeconds) + " goal by " +
                                          hm(deep - goalSeconds) + ".");
        } else if (deep >= 0.6 * goalSeconds) {
            judgement.add(Tone::watch, hm(goalSeconds - deep) + " short of your goal.");
        }
    }
    const std::size_t skip = recentDays.size() - std::min<std::size_t>(recentDays.size(), 7);
    const auto recent = withDeepWork(std::vector<DayTotal>(
        recentDays.begin() + static_cast<std::ptrdiff_t>(skip), recentDays.end()));
    if (recent.size() < 3) {
        return;
    }
    const double average = meanDeepSeconds(recent);
    if (deep >= 1.25 * average) {
        judgement.add(Tone::good, "Above your recent average of " + hm(average) + " a day.");
    } else if (deep <= 0.6 * average) {
        judgement.add(Tone::watch, "Below your recent average of " + hm(average) + " a day.");
    }
}

} // namespace

namespace DayReview {

std::vector<ReviewLine> lines(const DaySummary& today, double goalSeconds,
                              const std::vector<DayTotal>& recentDays, int limit)
{
    const double active = today.activeSeconds();
    if (active < 300) {
        return {{"Nothing recorded yet today.", Tone::watch}};
    }
    Judgement judgement;
    judgePieces(today, judgement);
    judgeShallowAndDistraction(today, judgement);
    judgeStartAndUnassigned(today, judgement);
    judgeGoalAndAverage(today.deepSeconds, goalSeconds, recentDays, judgement);
    return judgement.combined(limit, "Clean day. " + percent(today.deepSeconds / active) +
                                         " of your time at the desk was deep.");
}

std::optional<BestHour> bestHour(const DaySummary& summary)
{
    std::optional<BestHour> best;
    for (const auto& [hour, seconds] : summary.byHour) {
        if (!best || seconds > best->seconds) {
            best = BestHour{hour, seconds};
        }
    }
    if (!best || best->seconds < 300) {
        return std::nullopt;
    }
    return best;
}

} // namespace DayReview

namespace WeekReview {

std::vector<ReviewLine> lines(const std::vector<DayTotal>& days, double goalSeconds,
                              const std::vector<DayTotal>& previousWeek, int limit,
                              const std::string& locale)
{
    const auto worked = withDeepWork(days);
    const std::size_t n = worked.size();
    if (n == 0) {
        return {{"No deep work recorded this week yet.", Tone::watch}};
    }
    Judgement judgement;
    double total = 0;
    double active = 0;
    for (const auto& day : worked) {
        total += day.deepSeconds;
        active += day.activeSeconds;
    }

    if (goalSeconds > 0) {
        const auto hit = static_cast<std::size_t>(
            std::count_if(worked.begin(), worked.end(),
                          [&](const DayTotal& day) { return day.deepSeconds >= goalSeconds; }));
        std::string text =
            count(hit) + " of " + count(n) + " working days hit your " + hm(goalSeconds) + " goal.";
        if (hit == 0) {
            judgement.add(Tone::fix, text + " The goal or the day has to give.");
        } else {
            judgement.add(hit + 1 < n ? Tone::watch : Tone::good, std::move(text));
        }
    }

    if (n >= 3) {
        const auto byDeep = [](const DayTotal& a, const DayTotal& b) {
            return a.deepSeconds < b.deepSeconds;
        };
        // Both return the earlier day among equals.
        const DayTotal& best = *std::max_element(worked.begin(), worked.end(), byDeep);
        const DayTotal& worst = *std::min_element(worked.begin(), worked.end(), byDeep);
        const double max = best.deepSeconds;
        const double min = worst.deepSeconds;
        if (max >= 3600 && max >= 3 * min) {
            judgement.add(Tone::fix,
                          "Uneven week: " + DateText::formatted(best.date, "EEEE", locale) +
                              " held " + hm(max) + ", " +
                              DateText::formatted(worst.date, "EEEE", locale) + " held " + hm(min) +
                              ". Consistency beats one big day.");
        } else {
            judgement.add(Tone::good, "Steady week: every working day landed between " + hm(min) +
                                          " and " + hm(max) + ".");
        }
    }

    const double average = total / static_cast<double>(n);
    if (active > 0) {
        const double share = total / active;
        if (share < 0.3) {
            judgement.add(Tone::fix, "Only " + percent(share) +
                                         " of your time at the desk was deep. The hours are "
                                         "there; the shape is not.");
        } else if (share >= 0.5) {
            judgement.add(Tone::good, percent(share) + " of your desk time was deep work.");
        }
    }

    const auto previous = withDeepWork(previousWeek);
    if (previous.size() >= 3) {
        const double previousAverage = meanDeepSeconds(previous);
        if (1.15 * previousAverage <= average) {
            judgement.add(Tone::good, "Up on last week: " + hm(average) + " a day against " +
                                          hm(previousAverage) + ".");
        } else if (average <= 0.85 * previousAverage) {
            judgement.add(Tone::watch, "Down on last week: " + hm(average) + " a day against " +
                                           hm(previousAverage) + ".");
        }
    }
    return judgement.combined(limit,
                              hm(average) + " of deep work a day across " + count(n) + " days.");
}

} // namespace WeekReview
} // namespace kestrove
