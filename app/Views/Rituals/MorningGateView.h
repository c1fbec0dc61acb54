#pragma once

#include "ViewLogic/Rituals/DayPlanForm.h"
#include "ViewLogic/Rituals/GateController.h"
#include "Views/Rituals/RitualParts.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace kestrove {

class BlockEditorRow;
class PillButton;

// The planning form, on the morning wall and in the "Plan the day" window: the day's blocks,
// what still keeps the plan from going, and the submit and copy buttons. It keeps its own
// working copy; the plan leaves only through the host's submit action.
class MorningGateView final : public QWidget
{
public:
    // What the form reads from the rest of the program.
    struct Context
    {
        // The text written at an earlier evening's shutdown, read each time the form redraws.
        std::function<std::optional<std::string>()> shutdownNote;
        std::vector<std::string> lastUsedApps;
        AppPicker pickApps;
    };

    MorningGateView(GateForm form, Context context, QWidget* parent = nullptr);

    const DayPlanForm& form() const { return m_form; }
    std::vector<BlockEditorRow*> rows() const { return m_rows; }
    QPushButton* submitButton() const;
    QPushButton* copyButton() const;
    // Absent without a close action.
    QPushButton* closeButton() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildBlocksCard();
    QWidget* buildSubmitBar();
    void addBlock(int minutes);
    void rebuildRows();
    void refreshDerived();
    void placeCloseButton();

    GateForm m_gate;
    Context m_context;
    DayPlanForm m_form;
    QWidget* m_noteCard = nullptr;
    QLabel* m_noteText = nullptr;
    QLabel* m_total = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    std::vector<BlockEditorRow*> m_rows;
    QWidget* m_missing = nullptr;
    QLabel* m_missingText = nullptr;
    PillButton* m_submit = nullptr;
    PillButton* m_copy = nullptr;
    PillButton* m_close = nullptr;
};

} // namespace kestrove
