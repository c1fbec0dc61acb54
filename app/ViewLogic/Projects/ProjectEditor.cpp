#include "ViewLogic/Projects/ProjectEditor.h"

#include "core/DomainRules.h"
#include "core/Text.h"

#include <algorithm>

namespace kestrove {

ProjectEditor::ProjectEditor(std::optional<Project> project, std::string nextColor)
    : m_project(std::move(project))
{
    if (m_project) {
        name = m_project->name;
        area = m_project->area.value_or("");
        color = m_project->color;
        rules = m_project->rules;
    } else {
        color = std::move(nextColor);
    }
}

const char* ProjectEditor::kindLabel(RuleKind kind)
{
    return kind == RuleKind::website       ? "Website"
           : kind == RuleKind::windowTitle ? "Window title contains"
                                           : "Folder path contains";
}

const char* ProjectEditor::placeholder(RuleKind kind)
{
    return kind == RuleKind::website       ? "docs.example.com"
           : kind == RuleKind::windowTitle ? "Kestrove"
                                           : "/code/kestrove/";
}

bool ProjectEditor::canSave() const
{
    return !Text::trimmedSpacesAndTabs(name).empty();
}

bool ProjectEditor::canAddRule() const
{
    return !Text::trimmedSpacesAndTabs(newRuleValue).empty();
}

std::optional<std::string> ProjectEditor::addTypedRule()
{
    const std::string value = Text::trimmed(newRuleValue);
    if (value.empty()) {
        return std::nullopt;
    }
    // Any kind but a website or a window title is a folder.
    ProjectRule rule = ProjectRule::pathContains(value);
    if (newRuleKind == RuleKind::windowTitle) {
        rule = ProjectRule::titleContains(value);
    } else if (newRuleKind == RuleKind::website) {
        const std::string address =
            value.find("://") != std::string::npos ? value : "https://" + value;
        const std::string host = DomainRules::domain(address);
        // A rule holding anything but a site name would never match a page.
        if (host.empty() || host.find('.') == std::string::npos) {
            return "\u201c" + value +
                   "\u201d is not a website. Type a site such as example.com or its address.";
        }
        rule = ProjectRule::domain(host);
    }
    if (std::find(rules.begin(), rules.end(), rule) == rules.end()) {
        rules.push_back(std::move(rule));
    }
    newRuleValue.clear();
    return std::nullopt;
}

std::set<std::string> ProjectEditor::appSelection() const
{
    std::set<std::string> selection;
    for (const ProjectRule& rule : rules) {
        if (rule.kind == ProjectRule::Kind::app) {
            selection.insert(rule.value);
        }
    }
    return selection;
}

void ProjectEditor::applyAppSelection(const std::set<std::string>& bundleIDs)
{
    std::erase_if(rules,
                  [](const ProjectRule& rule) { return rule.kind == ProjectRule::Kind::app; });
    for (const std::string& bundleID : bundleIDs) {
        rules.push_back(ProjectRule::app(bundleID));
    }
}

void ProjectEditor::removeRule(const ProjectRule& rule)
{
    std::erase(rules, rule);
}

std::variant<ProjectEditor::SavePlan, std::string>
ProjectEditor::savePlan(const std::vector<Project>& stored, const std::string& newID) const
{
    const std::string trimmedName = Text::trimmedSpacesAndTabs(name);
    if (trimmedName.empty()) {
        return std::string("A project needs a name.");
    }
    const std::string trimmedArea = Text::trimmedSpacesAndTabs(area);
    const std::optional<std::string> newArea =
        trimmedArea.empty() ? std::nullopt : std::optional<std::string>(trimmedArea);
    const std::string ownID = m_project ? m_project->id : newID;
    for (const Project& other : stored) {
        if (other.id != ownID && Text::equalsIgnoringCase(other.name, trimmedName)) {
            return "Another project is already named \u201c" + other.name +
                   "\u201d. Choose a different name.";
        }
    }
    SavePlan plan;
    if (m_project) {
        plan.project = *m_project;
        plan.rename = HistoryRename{m_project->name, trimmedName, newArea};
    } else {
        plan.project.id = newID;
        plan.isNew = true;
    }
    plan.project.name = trimmedName;
    plan.project.area = newArea;
    plan.project.color = color;
    plan.project.rules = rules;
    return plan;
}

std::optional<ProjectEditor::DeletePlan> ProjectEditor::deletePlan() const
{
    if (!m_project) {
        return std::nullopt;
    }
    return DeletePlan{m_project->id, HistoryRename{m_project->name, std::nullopt, std::nullopt}};
}

} // namespace kestrove
