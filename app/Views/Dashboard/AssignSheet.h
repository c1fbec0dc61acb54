#pragma once

#include "Platform/LifetimeGuard.h"
#include "core/ProjectRules.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QPushButton;

namespace kestrove {

class SessionEngine;

// Attaches one hint's unassigned deep work to a project, an existing one or one created here:
// the engine adds a rule for the hint, relabels its stored time and rebuilds today; then
// `onDone` runs and the sheet closes. A second choice while one runs is ignored.
class AssignSheet final : public QDialog
{
public:
    AssignSheet(SessionEngine& engine, std::string hint, double seconds, bool isToday,
                std::function<void()> onDone, QWidget* parent = nullptr);

    // Starts the assignment to `project`; does nothing while one runs.
    void assign(const Project& project);
    // Stores a project from the fields and assigns to it.
    void createAndAssign();
    bool isWorking() const { return m_working; }

    QLineEdit* nameField() const { return m_name; }
    QLineEdit* areaField() const { return m_area; }
    QPushButton* createButton() const { return m_create; }
    const std::vector<QAbstractButton*>& projectButtons() const { return m_projectButtons; }

private:
    void updateCreateButton();

    SessionEngine& m_engine;
    std::string m_hint;
    std::function<void()> m_onDone;
    bool m_working = false;
    QLineEdit* m_name;
    QLineEdit* m_area;
    QPushButton* m_create;
    std::vector<QAbstractButton*> m_projectButtons;
    LifetimeGuard m_guard;
};

} // namespace kestrove
