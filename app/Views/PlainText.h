#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace kestrove {

// Names that come from outside (applications, windows, tasks, projects, desktop entries) may
// hold anything, markup included; they are always shown as the characters they are. Labels
// get Qt::PlainText, because Qt's automatic format would render "<b>x</b>" as bold.
QLabel* plainLabel(const QString& text, QWidget* parent = nullptr);
void setPlainText(QLabel& label, const QString& text);

// A plain label in the application's font at a size in pixels, weight and colour.
QLabel* textLabel(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                  QWidget* parent = nullptr);
// Changes a label's text colour; an unchanged colour leaves the label alone.
void setLabelColour(QLabel& label, const QColor& colour);

// A tool tip always guesses the format from its text; this escapes the text so that the guess
// cannot turn it into markup, and keeps its spaces and line breaks.
QString plainToolTip(const QString& text);

} // namespace kestrove
