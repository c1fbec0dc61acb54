#pragma once

#include <QColor>
#include <QIcon>
#include <QLabel>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <set>
#include <string>

class QMenu;

namespace kestrove {

// Opens the application picker next to `anchor`, starting from `selection`; `onDone` gets the
// picked identifiers when the user presses Done (never when the picker is dismissed).
using AppPicker = std::function<void(QWidget* anchor, const QString& title,
                                     const std::set<std::string>& selection,
                                     std::function<void(const std::set<std::string>&)> onDone)>;

// A text of the rituals' views: plain text, one font and colour.
QLabel* ritualLabel(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                    QWidget* parent = nullptr);
void setLabelColour(QLabel& label, const QColor& colour);

// One of our symbols as an icon of `pixelSize` in `colour`, sharp at ratio 2.
QIcon symbolIcon(QStringView name, const QColor& colour, int pixelSize);

// A symbol drawn at a fixed size.
class RitualSymbol : public QWidget
{
public:
    RitualSymbol(QString name, const QColor& colour, int pixelSize, QWidget* parent = nullptr);
    void setSymbol(QString name, const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
    QColor m_colour;
};

// A borderless button that opens a menu, labelled with an optional symbol and a text.
class MenuChip : public QToolButton
{
public:
    MenuChip(int pixelSize, QFont::Weight weight, QWidget* parent = nullptr);

    void setLabel(const QString& text, const QColor& colour, QStringView symbol = {},
                  int symbolSize = 9);
    // A fresh menu each time the label's owner rebuilds its items.
    QMenu* resetMenu();
};

} // namespace kestrove
