#pragma once

#include "ViewLogic/Projects/ProjectsLoader.h"
#include "core/ProjectRules.h"

#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace kestrove {

// The project editor's state and every decision it makes: the typed rule it builds, the
// applications chosen in the picker, and what saving or deleting changes. The sheet only shows
// the fields and forwards the buttons. Main thread only.
class ProjectEditor
{
public:
    enum class RuleKind
    {
        website = 0,
        windowTitle = 1,
        folder = 2
    };

    static constexpr const char* kRulesHelp =
        "Time is attributed to this project when any rule matches. Folder and website rules beat "
        "window-title rules, which beat app rules.";
    static constexpr const char* kNoRules = "No rules yet.";
    static constexpr const char* kDeleteTitle = "Delete this project?";
    static constexpr const char* kDeleteMessage =
        "Rules are removed and its history becomes unassigned. Nothing is deleted from the "
        "timeline.";

    // `project` absent: a new project, starting with `nextColor`.
    ProjectEditor(std::optional<Project> project, std::string nextColor);

    bool isEditing() const { return m_project.has_value(); }
    const std::optional<Project>& project() const { return m_project; }
    std::string title() const { return isEditing() ? "Edit project" : "New project"; }
    std::string saveLabel() const { return isEditing() ? "Save" : "Create"; }

    std::string name;
    std::string area;
    std::string color;
    std::vector<ProjectRule> rules;
    RuleKind newRuleKind = RuleKind::website;
    std::string newRuleValue;

    static const char* kindLabel(RuleKind kind);
    static const char* placeholder(RuleKind kind);

    // Save needs a name that is not only spaces and tabs.
    bool canSave() const;
    bool canAddRule() const;

    // Turns the typed value into a rule of the chosen kind and appends it unless listed already;
    // the field is then cleared. A website from which no site can be taken is refused: the
    // message is returned and the field keeps the text to correct.
    std::optional<std::string> addTypedRule();
    // The applications of the app rules, for the picker to start from.
    std::set<std::string> appSelection() const;
    // The picker's choice: every app rule goes, then one per chosen application, sorted, at the
    // end.
    void applyAppSelection(const std::set<std::string>& bundleIDs);
    // Removes every rule equal to `rule`.
    void removeRule(const ProjectRule& rule);

    struct SavePlan
    {
        Project project;
        bool isNew = false;
        // Edits move the project's stored history to its name and area as saved.
        std::optional<HistoryRename> rename;
    };
    // What Save stores, or why it cannot: a name that another stored project already carries
    // (ignoring case) would merge two histories under one name.
    std::variant<SavePlan, std::string> savePlan(const std::vector<Project>& stored,
                                                 const std::string& newID) const;

    struct DeletePlan
    {
        std::string id;
        HistoryRename rename;
    };
    std::optional<DeletePlan> deletePlan() const;

private:
    std::optional<Project> m_project;
};

} // namespace kestrove
