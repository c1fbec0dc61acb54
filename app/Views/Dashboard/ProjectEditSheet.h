#pragma once

#include "ViewLogic/Projects/ProjectEditor.h"
#include "Views/Rituals/RitualParts.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace kestrove {

class SessionEngine;

// Creates a project or edits one: name, area, colour and rules, application rules chosen in
// the application picker; an edited project can be deleted. Saving goes to the project store;
// an edit or a deletion also rewrites the project's stored history through `rewriteHistory`.
// The sheet closes without waiting for that rewrite.
class ProjectEditSheet final : public QDialog
{
public:
    struct Hooks
    {
        AppPicker pickApps;
        std::function<void(const HistoryRename&)> rewriteHistory;
    };

    ProjectEditSheet(SessionEngine& engine, std::optional<Project> project, Hooks hooks,
                     QWidget* parent = nullptr);

    const ProjectEditor& editor() const { return m_editor; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* areaField() const { return m_area; }
    QLineEdit* ruleField() const { return m_ruleValue; }
    QComboBox* ruleKind() const { return m_ruleKind; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* addButton() const { return m_add; }
    // The refusal shown under the fields, empty when there is none.
    QString message() const;

    void addTypedRule();
    void chooseColor(const std::string& key);
    void openAppPicker();
    void applyAppSelection(const std::set<std::string>& bundleIDs);
    void save();
    // Asks before deleting; deleteProject() is what the confirmation's Delete runs.
    void confirmDelete();
    void deleteProject();

private:
    void rebuildRules();
    void rebuildSwatches();
    void updateButtons();
    void showMessage(const std::string& text);
    void fitToContent();

    SessionEngine& m_engine;
    Hooks m_hooks;
    ProjectEditor m_editor;
    QLineEdit* m_name;
    QLineEdit* m_area;
    QComboBox* m_ruleKind;
    QLineEdit* m_ruleValue;
    QPushButton* m_save;
    QPushButton* m_add;
    QPushButton* m_apps;
    QLabel* m_message;
    QWidget* m_rules;
    QWidget* m_swatches;
};

} // namespace kestrove
