#pragma once

#include "Engine/ChangeObservers.h"
#include "ViewLogic/Focus/LockInPageModel.h"

#include <QScrollArea>

class QVBoxLayout;

namespace kestrove {

class FocusTaskCard;
class InstalledApps;
class SessionEngine;

// The dashboard's lock-in page: what focus tasks are, the focus-task card, today's lockdown
// figures and the latest focus tasks with how each ended. It reads them when it is built and
// again whenever a focus task ends.
class LockInView final : public QScrollArea
{
public:
    LockInView(SessionEngine& engine, InstalledApps& apps, QWidget* parent = nullptr);

    const LockInPageModel& model() const { return m_model; }
    FocusTaskCard* card() const { return m_card; }
    // Today's figures as shown ("lockdowns today", "3"), and each row's texts.
    std::vector<std::pair<QString, QString>> shownChips() const;
    struct ShownRow
    {
        QString name;
        QString detail;
        QString outcome;
    };
    std::vector<ShownRow> shownRows() const;
    QString shownEmptyText() const;

private:
    void rebuild();

    LockInPageModel m_model;
    FocusTaskCard* m_card;
    QVBoxLayout* m_pageLayout = nullptr;
    QWidget* m_chipsCard = nullptr;
    QWidget* m_historyCard = nullptr;
    QVBoxLayout* m_historyLayout = nullptr;
    Subscription m_modelChanged;
};

} // namespace kestrove
