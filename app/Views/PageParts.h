#pragma once

#include <QString>
#include <QStringList>

#include <string>

class QDialog;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace kestrove {

// Small pieces the dashboard pages, their sheets and the share windows are built from.

inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Fills `page` with `scroll`: no frame, no scroll bars shown, its widget as wide as the page.
void fillWithScroll(QWidget& page, QScrollArea& scroll);

// A widget holding a column without margins; `layout` receives the column to fill.
QWidget* bareColumn(int spacing, QVBoxLayout** layout);

// What a page's text walk reads besides labels, eyebrows, section titles and stat chips.
struct ShownTextParts
{
    bool buttons = false;        // the text of plain buttons
    bool headerTrailing = false; // the trailing text of section headers
};

// The texts a page shows below `root`, in the order its children were made, for tests and the
// accessibility checks: what the page reads out, not how it lays it out.
QStringList shownTexts(const QWidget* root, ShownTextParts parts);

// Makes `sheet` a modal sheet of the given width on the ink background and returns its column.
QVBoxLayout* sheetColumn(QDialog& sheet, const QString& title, int width, int spacing);

} // namespace kestrove
