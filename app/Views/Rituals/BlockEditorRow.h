#pragma once

#include "Views/Rituals/RitualParts.h"

#include <QWidget>

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace kestrove {

class DayPlanForm;

// One block of the planning form: task, length, start time, mode and, for a locked block, its
// applications. Every control writes straight into the form's block with this row's id.
class BlockEditorRow final : public QWidget
{
public:
    struct Hooks
    {
        std::function<void()> onDelete;
        // After any edit, so the form can redraw its totals and buttons.
        std::function<void()> onEdited;
        AppPicker pickApps;
        std::vector<std::string> lastUsedApps;
    };

    BlockEditorRow(DayPlanForm& form, std::string blockID, Hooks hooks, QWidget* parent = nullptr);

    const std::string& blockID() const { return m_blockID; }
    // Redraws the labels from the block as it stands.
    void refresh();
    QLineEdit* taskField() const { return m_task; }
    QToolButton* appsButton() const { return m_apps; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void edited();
    void openPicker();

    DayPlanForm& m_form;
    std::string m_blockID;
    Hooks m_hooks;
    QLineEdit* m_task;
    MenuChip* m_minutes;
    MenuChip* m_mode;
    MenuChip* m_time;
    QToolButton* m_apps;
};

} // namespace kestrove
