#pragma once

#include "Engine/ChangeObservers.h"

#include "Views/Focus/AppPickerView.h"

#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QVBoxLayout;

namespace kestrove {

class AppAllowlistPresets;
class InstalledApps;

// The always-allowed applications, which every lockdown lets through besides the task's own:
// removable chips and "Edit apps", which opens the picker on a copy of the list and stores the
// copy only on Done. The list lives in the presets; this view keeps no copy of it.
class AllowlistSettings final : public QWidget
{
public:
    static constexpr const char* kEmptyText =
        "None yet. Good candidates: password manager, dictation, file manager helpers.";

    AllowlistSettings(AppAllowlistPresets& store, InstalledApps& apps, QWidget* parent = nullptr);

    QAbstractButton* editButton() const { return m_edit; }
    // The open picker, or null.
    AppPickerView* picker() const { return m_picker; }

private:
    void rebuild();
    void openPicker();

    AppAllowlistPresets& m_store;
    InstalledApps& m_apps;
    QWidget* m_list;
    QAbstractButton* m_edit;
    QPointer<AppPickerView> m_picker;
    Subscription m_storeChanged;
    Subscription m_appsChanged;
};

} // namespace kestrove
