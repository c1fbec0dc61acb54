#pragma once

#include "ViewLogic/Focus/AppPickerModel.h"
#include "Views/Focus/AppPickerView.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QTimer;

namespace kestrove {

class InstalledApps;
class SessionEngine;
class SymbolPill;
class Waterline;

// The running focus task inside the focus-task card: its state, name and plan, the time still
// to work, its progress, the blocked attempts, "Allow another app" and "I finished" with its
// confirmation. Redrawn every second while shown.
class ActiveFocusTaskView final : public QWidget
{
public:
    ActiveFocusTaskView(SessionEngine& engine, InstalledApps& apps, QWidget* parent = nullptr);

    void refresh();

    QAbstractButton* finishButton() const { return m_finish; }
    QAbstractButton* allowButton() const { return m_allow; }
    // The open confirmation or picker, or null.
    QMessageBox* finishConfirmation() const { return m_confirm; }
    AppPickerView* picker() const { return m_picker; }
    QString statusText() const;
    QString planText() const;
    QString clockText() const;
    QString attemptsText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void confirmFinish();
    void openPicker();

    SessionEngine& m_engine;
    InstalledApps& m_apps;
    QLabel* m_status;
    QPushButton* m_finish;
    QLabel* m_name;
    QLabel* m_plan;
    QLabel* m_clock;
    Waterline* m_progress;
    QLabel* m_attempts;
    QAbstractButton* m_allow;
    QTimer* m_timer;
    QPointer<QMessageBox> m_confirm;
    QPointer<AppPickerView> m_picker;
};

} // namespace kestrove
