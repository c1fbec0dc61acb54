#pragma once

#include "Engine/ChangeObservers.h"
#include "Platform/LifetimeGuard.h"
#include "Storage/ReportQueries.h"
#include "ViewLogic/Settings/PrivacyModel.h"
#include "ViewLogic/Settings/SettingsModel.h"
#include "Views/Rituals/RitualParts.h"

#include <QMessageBox>
#include <QPointer>
#include <QScrollArea>

#include <optional>

class QLabel;
class QLineEdit;
class QTimer;
class QVBoxLayout;

namespace kestrove {

class AccessibilitySwitch;
class AllowlistSettings;
class FolderRevealer;
class InstalledApps;
class LoginItem;
class PermissionRowView;
class PillButton;
class RemovableChip;
class SessionEngine;
class SettingsMenu;
class SettingsSwitch;

// What the settings page needs of the desktop besides the engine.
struct SettingsServices
{
    InstalledApps& apps;
    LoginItem& loginItem;
    AccessibilitySwitch& accessibility;
    FolderRevealer& revealer;
    AppPicker pickApps;
};

class PermissionsCardView final : public QWidget
{
public:
    PermissionsCardView(SessionEngine& engine, AccessibilitySwitch& accessibility,
                        QWidget* parent = nullptr);

    void refresh();
    // Asks the accessibility bus again; the row follows when it answers.
    void readAccessibility();
    void grant();
    PermissionRowView* windowRow() const { return m_window; }
    PermissionRowView* browserRow() const { return m_browser; }

private:
    SessionEngine& m_engine;
    AccessibilitySwitch& m_accessibility;
    PermissionsCard::BrowserAccess m_access;
    PermissionRowView* m_window;
    PermissionRowView* m_browser;
    PermissionRowView* m_hiding;
    LifetimeGuard m_guard;
};

class MeasurementCardView final : public QWidget
{
public:
    explicit MeasurementCardView(SessionEngine& engine, QWidget* parent = nullptr);
    void refresh();
    SettingsMenu* goalMenu() const { return m_goal; }
    SettingsMenu* idleMenu() const { return m_idle; }
    SettingsMenu* graceMenu() const { return m_grace; }

private:
    SessionEngine& m_engine;
    SettingsMenu* m_goal;
    SettingsMenu* m_idle;
    SettingsMenu* m_grace;
    Subscription m_goalChanged;
};

class ClassificationCardView final : public QWidget
{
public:
    explicit ClassificationCardView(SessionEngine& engine, QWidget* parent = nullptr);

    void setSeen(std::vector<SeenContext> seen);
    void addSiteRule();

    QLineEdit* filterField() const { return m_filter; }
    QLineEdit* ruleField() const { return m_rule; }
    SettingsMenu* ruleKindMenu() const { return m_ruleKind; }
    PillButton* addButton() const { return m_add; }
    // The rows as shown: name, detail, kind menu.
    struct ShownRow
    {
        QString name;
        QString detail;
        SettingsMenu* menu;
    };
    std::vector<ShownRow> shownRows() const;
    std::vector<RemovableChip*> ruleChips() const;
    bool showsEmptyHint() const;

private:
    void rebuildRows();
    void rebuildChips();

    SessionEngine& m_engine;
    std::vector<SeenContext> m_seen;
    QLineEdit* m_filter;
    QVBoxLayout* m_rows;
    QLineEdit* m_rule;
    SettingsMenu* m_ruleKind;
    PillButton* m_add;
    QWidget* m_chips;
    Subscription m_overridesChanged;
};

class MorningCardView final : public QWidget
{
public:
    explicit MorningCardView(SessionEngine& engine, QWidget* parent = nullptr);
    void refresh();
    void previewWall();

    SettingsSwitch* enableSwitch() const { return m_enabled; }
    SettingsMenu* startMenu() const { return m_start; }
    std::vector<QAbstractButton*> weekdayButtons() const { return m_days; }
    PillButton* previewButton() const { return m_preview; }
    PillButton* copyButton() const { return m_copy; }
    QString explanation() const;

private:
    SessionEngine& m_engine;
    QLabel* m_explanation;
    SettingsSwitch* m_enabled;
    SettingsMenu* m_start;
    std::vector<QAbstractButton*> m_days;
    PillButton* m_preview;
    PillButton* m_copy;
    Subscription m_storeChanged;
    Subscription m_taskChanged;
};

class LockdownCardView final : public QWidget
{
public:
    LockdownCardView(SessionEngine& engine, InstalledApps& apps, QWidget* parent = nullptr);
    PillButton* toggleButton() const { return m_toggle; }
    AllowlistSettings* editor() const { return m_editor; }
    bool showsEditor() const;

private:
    void toggle();

    SessionEngine& m_engine;
    InstalledApps& m_apps;
    PillButton* m_toggle;
    QVBoxLayout* m_column;
    AllowlistSettings* m_editor = nullptr;
};

class GeneralCardView final : public QWidget
{
public:
    GeneralCardView(SessionEngine& engine, LoginItem& loginItem, QWidget* parent = nullptr);
    void refresh();

    SettingsSwitch* launchSwitch() const { return m_launch; }
    SettingsSwitch* displaySwitch() const { return m_display; }
    SettingsSwitch* summarySwitch() const { return m_summary; }
    SettingsMenu* summaryMenu() const { return m_summaryTime; }
    SettingsSwitch* phoneSwitch() const { return m_phone; }

private:
    SessionEngine& m_engine;
    LaunchAtLoginSwitch m_launchState;
    SettingsSwitch* m_launch;
    SettingsSwitch* m_display;
    SettingsMenu* m_summaryTime;
    SettingsSwitch* m_summary;
    SettingsSwitch* m_phone;
};

class DataCardView final : public QWidget
{
public:
    DataCardView(SessionEngine& engine, FolderRevealer& revealer, QWidget* parent = nullptr);

    // Measures the database file the engine has open; a file that cannot be read leaves the
    // last size shown.
    void loadSize();
    void reveal();
    void askResetToday();
    void askDeleteAll();

    QString sizeText() const { return m_size; }
    PillButton* revealButton() const { return m_reveal; }
    QMessageBox* dialog() const { return m_dialog; }

private:
    void setSize(const QString& text);
    void confirm(const QString& title, const QString& action, const QString& message,
                 std::function<void()> run);

    SessionEngine& m_engine;
    FolderRevealer& m_revealer;
    QString m_size = QString::fromUtf8(DataCard::kUnknownSize);
    QWidget* m_header;
    QVBoxLayout* m_column;
    PillButton* m_reveal;
    QPointer<QMessageBox> m_dialog;
    LifetimeGuard m_guard;
};

class PrivacySettingsCard final : public QWidget
{
public:
    PrivacySettingsCard(SessionEngine& engine, InstalledApps& apps, AppPicker pickApps,
                        QWidget* parent = nullptr);

    // The live box, once a second while the page is shown.
    void tick();
    void addDomain();

    QString liveTitle() const;
    QString liveLine() const;
    QLineEdit* domainField() const { return m_domain; }
    PillButton* addDomainButton() const { return m_addDomain; }
    PillButton* restoreButton() const { return m_restore; }
    PillButton* addAppButton() const { return m_addApp; }
    SettingsSwitch* titlesSwitch() const { return m_titles; }
    SettingsMenu* retentionMenu() const { return m_retention; }
    std::vector<QString> appChipNames() const;
    std::vector<QString> domainChipNames() const;
    bool showsNoAppsHint() const;

private:
    void rebuild();
    void openPicker();

    SessionEngine& m_engine;
    InstalledApps& m_apps;
    AppPicker m_pickApps;
    PrivateAppNames m_names;
    PrivateSiteField m_field;
    QWidget* m_liveDot;
    QLabel* m_liveTitle;
    QLabel* m_liveLine;
    PillButton* m_restore;
    PillButton* m_addApp;
    QWidget* m_appList;
    QLineEdit* m_domain;
    PillButton* m_addDomain;
    QWidget* m_domainList;
    SettingsSwitch* m_titles;
    SettingsMenu* m_retention;
    Subscription m_storeChanged;
    Subscription m_appsChanged;
};

// The settings page: one column of cards. While it is shown it holds the permission poll (one
// poll however many pages hold it), ticks the privacy card's live box once a second, and reads
// the seen applications and the database size once.
class SettingsPane final : public QScrollArea
{
public:
    SettingsPane(SessionEngine& engine, SettingsServices services, QWidget* parent = nullptr);
    ~SettingsPane() override;

    PermissionsCardView* permissions() const { return m_permissions; }
    PrivacySettingsCard* privacy() const { return m_privacy; }
    MeasurementCardView* measurement() const { return m_measurement; }
    ClassificationCardView* classification() const { return m_classification; }
    MorningCardView* morning() const { return m_morning; }
    LockdownCardView* lockdown() const { return m_lockdown; }
    GeneralCardView* general() const { return m_general; }
    DataCardView* data() const { return m_data; }
    // The cards in page order.
    std::vector<QWidget*> cards() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void loadSeen();

    SessionEngine& m_engine;
    PermissionsCardView* m_permissions;
    PrivacySettingsCard* m_privacy;
    MeasurementCardView* m_measurement;
    ClassificationCardView* m_classification;
    MorningCardView* m_morning;
    LockdownCardView* m_lockdown;
    GeneralCardView* m_general;
    DataCardView* m_data;
    QTimer* m_ticker;
    Subscription m_poll;
    LifetimeGuard m_guard;
};

} // namespace kestrove
