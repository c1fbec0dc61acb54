#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Focus/FocusTaskCardModel.h"

#include "Views/Focus/AppPickerView.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrove {

class ActiveFocusTaskView;
class FlowLayout;
class InstalledApps;
class SessionEngine;
class SymbolPill;

// The card that starts a lock-in: a task name, a length, the applications it may use and a
// project; while a focus task runs it shows that task instead. The lock-in and today pages
// embed it as it is:
//
//     layout->addWidget(new FocusTaskCard(engine, installedApps));
class FocusTaskCard final : public QWidget
{
public:
    FocusTaskCard(SessionEngine& engine, InstalledApps& apps, QWidget* parent = nullptr);

    const FocusTaskForm& form() const { return m_form; }
    // The form's parts, or null while the running task shows.
    QLineEdit* nameField() const { return m_name; }
    QComboBox* lengthMenu() const { return m_length; }
    QComboBox* projectMenu() const { return m_project; }
    QPushButton* startButton() const { return m_start; }
    QAbstractButton* addButton() const;
    QLabel* alwaysAllowedLabel() const { return m_alwaysAllowed; }
    std::vector<QString> chipNames() const;
    AppPickerView* picker() const { return m_picker; }
    // The running task's view, or null while the form shows.
    ActiveFocusTaskView* activeView() const { return m_activeView; }

private:
    void showFormOrTask();
    QWidget* buildForm();
    void rebuildChips();
    void refreshAlwaysAllowed();
    void refreshStart();
    void start();
    void openPicker();

    SessionEngine& m_engine;
    InstalledApps& m_apps;
    FocusTaskForm m_form;
    QWidget* m_content = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_length = nullptr;
    QComboBox* m_project = nullptr;
    QPushButton* m_start = nullptr;
    QWidget* m_chips = nullptr;
    FlowLayout* m_chipFlow = nullptr;
    QLabel* m_alwaysAllowed = nullptr;
    ActiveFocusTaskView* m_activeView = nullptr;
    QPointer<AppPickerView> m_picker;
    bool m_showingTask = false;
    Subscription m_taskChanged;
    Subscription m_presetsChanged;
    Subscription m_appsChanged;
};

} // namespace kestrove
