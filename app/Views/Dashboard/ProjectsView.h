#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/LifetimeGuard.h"
#include "ViewLogic/Projects/ProjectsLoader.h"
#include "Views/Rituals/RitualParts.h"
#include "core/ProjectRules.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QScrollArea;

namespace kestrove {

class ProjectEditSheet;
class SessionEngine;

// The projects page: the active projects by area with their last 30 days, and beside them the
// chosen project's detail (pin, figures, chart, rules, what was worked on), the deep time
// without a project, or a placeholder. Creates, edits and deletes projects through the editor
// sheet. Reads when shown, when the projects change and when a row is chosen. Main thread only.
class ProjectsView final : public QWidget
{
public:
    ProjectsView(SessionEngine& engine, AppPicker pickApps = {}, QWidget* parent = nullptr);
    ~ProjectsView() override;

    const std::optional<Project>& selected() const { return m_selected; }
    const std::vector<TimeShare>& totals30() const { return m_totals30; }
    const std::vector<DayTotal>& trend() const { return m_trend; }
    const std::vector<LabelTime>& labels() const { return m_labels; }
    const std::vector<LabelTime>& unassignedLabels() const { return m_unassignedLabels; }
    // Why the last read or rewrite failed; empty when all went well.
    const std::string& errorText() const { return m_error; }

    void select(const Project& project);
    void selectUnassigned();
    // Opens the editor for a new project (absent) or for `project`.
    ProjectEditSheet* openEditor(std::optional<Project> project);
    ProjectEditSheet* editor() const;
    void loadTotals();

    QWidget* list() const { return m_listContent; }
    QWidget* detail() const { return m_detailContent; }
    QStringList texts(QWidget* root) const;

private:
    void loadDetail();
    void projectsChanged();
    void rewriteHistory(const HistoryRename& rename);
    void refreshIfChanged();
    void rebuild();
    QWidget* buildList();
    QWidget* buildDetail();
    QWidget* projectDetail(const Project& project);
    QWidget* unassignedPane();
    QWidget* placeholder();

    struct Signature;
    Signature signature() const;

    SessionEngine& m_engine;
    AppPicker m_pickApps;
    ProjectsLoader m_loader;
    std::optional<Project> m_selected;
    std::vector<TimeShare> m_totals30;
    std::vector<DayTotal> m_trend;
    std::vector<LabelTime> m_labels;
    std::vector<LabelTime> m_unassignedLabels;
    std::string m_error;
    bool m_loadPending = false;

    QScrollArea* m_listScroll;
    QScrollArea* m_detailScroll;
    QWidget* m_listContent = nullptr;
    QWidget* m_detailContent = nullptr;
    QPointer<ProjectEditSheet> m_editor;
    std::unique_ptr<Signature> m_lastSignature;
    Subscription m_projectChanges;
    Subscription m_engineChanges;
    LifetimeGuard m_guard;
};

} // namespace kestrove
