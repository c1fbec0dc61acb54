#pragma once

#include "Views/PlainText.h"

#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SymbolPill.h"

#include <QIcon>
#include <QWidget>

#include <functional>
#include <string>

class QLabel;

namespace kestrove {

// The icon of an application as the installed applications know it: the file when the entry
// names one, else the icon theme's; a null icon when neither has it.
QIcon appIcon(const std::string& icon);

// A removable chip of one application: its icon when it has one, its name and a small cross,
// on a KS.surface2 capsule.
class AppChip : public QWidget
{
public:
    AppChip(const QIcon& icon, const QString& name, int spacing, std::function<void()> onRemove,
            QWidget* parent = nullptr);
    QAbstractButton* removeButton() const { return m_remove; }
    QString name() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_name;
    QAbstractButton* m_remove;
};

// A frameless pop-up under `anchor` holding `content`; a click outside closes it, and closing
// deletes it with its content.
QWidget* showPopover(QWidget* content, QWidget* anchor);

} // namespace kestrove
