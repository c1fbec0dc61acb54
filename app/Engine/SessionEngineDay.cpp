// Operations on the user's day: pin, assign, shutdown, reset and delete.
#include "Engine/SessionEngine.h"

#include "Platform/Clock.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/Calendar.h"
#include "core/Text.h"

namespace kestrove {

namespace {

ProjectRule::Kind ruleKindForHint(const std::string& hint)
{
    const bool looksLikeDomain = hint.find('.') != std::string::npos &&
                                 hint.find(' ') == std::string::npos &&
                                 hint.find('/') == std::string::npos;
    return looksLikeDomain ? ProjectRule::Kind::domain : ProjectRule::Kind::titleContains;
}

} // namespace

void SessionEngine::pinProject(std::optional<std::string> projectID)
{
    assertMainThread();
    m_projects.pin(std::move(projectID));
    applyProjectConfig();
    resample();
    publish(m_pendingRefresh, true);
}

void SessionEngine::assign(const std::string& hint, const Project& project, Result done)
{
    assertMainThread();
    ProjectRule rule;
    if (ruleKindForHint(hint) == ProjectRule::Kind::domain) {
        rule = ProjectRule::domain(Text::lowercased(hint));
    } else if (const auto bundleID = bundleIDForAppName(hint)) {
        rule = ProjectRule::app(Text::lowercased(*bundleID));
    } else {
        rule = ProjectRule::titleContains(hint);
    }
    m_projects.addRule(rule, project.id);
    m_todaySegments.invalidate();
    m_database.run(
        m_guard,
        [hint, name = project.name, area = project.area](Database& db) {
            db.assignUnassigned(hint, name, area);
        },
        [this, done](DatabaseResult<void> result) {
            if (!result.ok()) {
                m_log.error(std::string("assign failed: ") + result.error()->what());
            }
            refreshToday([done, ok = result.ok()] {
                if (done) {
                    done(ok);
                }
            });
        });
}

void SessionEngine::completeShutdown(const std::string& plan)
{
    assertMainThread();
    publish(m_isShutdownComplete, true);
    const std::string today = todayKey();
    Preferences& preferences = m_services.preferences;
    preferences.setString(kShutdownDateKey, today);
    preferences.setBool(kIsShutdownKey, true);
    const std::string trimmed = Text::trimmed(plan);
    if (trimmed.empty()) {
        preferences.remove(kTomorrowPlanKey);
        return;
    }
    preferences.setString(kTomorrowPlanKey, trimmed);
    preferences.setString(kTomorrowPlanWrittenOnKey, today);
}

void SessionEngine::resetToday(Result done)
{
    assertMainThread();
    const Date start = Calendar::startOfDay(m_services.clock.now());
    const Date end = Calendar::addingDays(start, 1);
    m_tracker.stop();
    m_todaySegments.invalidate();
    m_database.run(
        m_guard,
        [start, end](Database& db) {
            // A segment that began yesterday keeps its part before midnight: it is cut there
            // first, so that deleting today's segments leaves it alone.
            constexpr double kBeforeMidnight = 1e-3;
            for (const Segment& crossing : db.segments(start - kBeforeMidnight, start)) {
                if (crossing.end >= start && crossing.id > 0) {
                    db.updateSegment(crossing.id, start);
                }
            }
            db.deleteSegments(start, end);
        },
        [this, done](DatabaseResult<void> result) {
            if (!result.ok()) {
                m_log.error(std::string("resetToday failed: ") + result.error()->what());
            }
            if (m_isRunning) {
                m_tracker.start(m_database);
            }
            refreshToday([done, ok = result.ok()] {
                if (done) {
                    done(ok);
                }
            });
        });
}

void SessionEngine::deleteAllHistory(Result done)
{
    assertMainThread();
    m_tracker.stop();
    m_todaySegments.invalidate();
    m_database.run(
        m_guard,
        [](Database& db) {
            db.deleteAllHistory();
            return db.accurateSince();
        },
        [this, done](DatabaseResult<std::optional<Date>> result) {
            if (result.ok()) {
                publish(m_accurateSince, result.value());
            } else {
                m_log.error(std::string("deleteAllHistory failed: ") + result.error()->what());
            }
            if (m_isRunning) {
                m_tracker.start(m_database);
            }
            publish(m_recentDays, std::vector<DayTotal>());
            publish(m_streak, Streak());
            refreshToday([this, done, ok = result.ok()] {
                refreshHistory([done, ok] {
                    if (done) {
                        done(ok);
                    }
                });
            });
        });
}

} // namespace kestrove
