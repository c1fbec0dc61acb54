#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Focus/AppPickerModel.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrove {

class InstalledApps;

// The one place where the user chooses applications: the installed applications as a
// searchable list with a check mark per chosen one, editing a selection of identifiers that
// belongs to the caller. Every tap changes the selection at once; Done (or Return) only tells
// the caller, who decides what Done means and closes the picker. Each time it is shown, the
// installed applications are scanned again.
//
//     auto* picker = AppPickerView::popUp(apps, selection, button);
//     picker->onDone = [picker, this] { use(picker->selection()); picker->window()->close(); };
class AppPickerView final : public QWidget
{
public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 440;

    AppPickerView(InstalledApps& apps, AppSelection selection, QWidget* parent = nullptr);

    // Shows a picker in a pop-up under `anchor`; a click outside closes it without Done.
    static AppPickerView* popUp(InstalledApps& apps, AppSelection selection, QWidget* anchor);

    const AppSelection& selection() const { return m_selection; }
    // Called after every tap with the changed selection.
    std::function<void(const AppSelection&)> onSelectionChanged;
    std::function<void()> onDone;

    // What the list shows now, in order: the applications' identifiers.
    std::vector<std::string> listedIDs() const;
    QLineEdit* searchField() const { return m_search; }
    QListWidget* list() const { return m_list; }
    QPushButton* doneButton() const { return m_done; }
    QString countText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuildList();
    void toggle(const std::string& bundleID);
    void done();

    InstalledApps& m_apps;
    AppSelection m_selection;
    QLineEdit* m_search;
    QListWidget* m_list;
    QLabel* m_count;
    QPushButton* m_done;
    Subscription m_appsChanged;
};

} // namespace kestrove
