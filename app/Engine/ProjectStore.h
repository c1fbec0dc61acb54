#pragma once

#include "Engine/ChangeObservers.h"
#include "core/ContextKind.h"
#include "core/Date.h"
#include "core/ProjectRules.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

class Clock;
class Preferences;

// The user's projects, the per-application and per-site kind overrides, the extra area names
// and the pinned project (in memory only). Loaded and migrated from older keys at creation;
// operations save, then call onChange. Observers are told only when a field really changed.
class ProjectStore
{
public:
    static constexpr std::array<std::string_view, 8> palette = {"violet", "blue",  "teal", "green",
                                                                "amber",  "coral", "pink", "slate"};

    static constexpr const char* kProjectsKey = "projects.v2";
    static constexpr const char* kOverridesKey = "contextOverrides.v2";
    static constexpr const char* kAreasKey = "areas.v2";
    static constexpr const char* kMigratedKey = "projects.v2.migrated";
    static constexpr const char* kLegacyProjectsKey = "userProjects";
    static constexpr const char* kLegacyWorkspacesKey = "userWorkspaces";
    static constexpr const char* kLegacyCategoriesKey = "customAppCategories";

    ProjectStore(Preferences& preferences, const Clock& clock);

    const std::vector<Project>& projects() const { return m_state.projects; }
    const std::map<std::string, ContextKind>& overrides() const { return m_state.overrides; }
    const std::vector<std::string>& customAreas() const { return m_state.customAreas; }
    const std::optional<std::string>& pinnedProjectID() const { return m_state.pinnedProjectID; }
    std::optional<Date> pinnedAt() const { return m_state.pinnedAt; }

    // Installed by the owner; called after every operation but a no-op update or addRule.
    std::function<void()> onChange;
    ChangeObservers& observers() { return m_observers; }

    std::vector<Project> activeProjects() const;
    // Areas of active projects in store order, then the custom areas, each once.
    std::vector<std::string> areas() const;
    // Absent when the pinned project is archived or gone.
    std::optional<Project> pinnedProject() const;
    std::optional<Project> projectNamed(std::string_view name) const; // ignoring case
    std::optional<Project> projectWithID(std::string_view id) const;
    std::string nextColor() const;

    Project add(Project project);
    void update(const Project& project);
    void deleteProject(std::string_view id);
    void addRule(const ProjectRule& rule, std::string_view projectID);
    void setOverride(std::string_view key, std::optional<ContextKind> kind);
    void pin(std::optional<std::string> projectID);

private:
    struct State
    {
        std::vector<Project> projects;
        std::map<std::string, ContextKind> overrides;
        std::vector<std::string> customAreas;
        std::optional<std::string> pinnedProjectID;
        std::optional<Date> pinnedAt;
        bool operator==(const State&) const = default;
    };
    // A stored value that does not decode is left in place while its field stays empty, and
    // set aside under "<key>.undecodable" before the first real change replaces it.
    struct HeldKeys
    {
        bool projects = false;
        bool overrides = false;
        bool areas = false;
    };

    void load();
    void migrateLegacyIfNeeded();
    void migrateLegacyProjects();
    void migrateLegacyWorkspaces();
    void migrateLegacyCategories();
    void save();
    bool mayWrite(const char* key, bool& held, bool fieldIsEmpty);
    template <typename Change> void change(bool saves, Change&& apply);

    Preferences& m_preferences;
    const Clock& m_clock;
    State m_state;
    HeldKeys m_held;
    ChangeObservers m_observers;
};

} // namespace kestrove
