#pragma once

#include "Views/Components/PillButtonStyle.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QScreen;

namespace kestrove {

// What the wall and the time-up prompt are built from: plain-text labels, our own symbols,
// the big pill answers and the frosted backdrop of the whole screen.

// A label that shows `text` as the characters it is (names come from outside), wrapping.
QLabel* overlayText(const QString& text, int size, QFont::Weight weight, const QColor& colour,
                    QWidget* parent);

// Gives a wrapping label the width its text takes on one line, at most `maxWidth`, and the
// height its lines then need, so that no layout squeezes it below that.
void fitText(QLabel& label, int maxWidth);

// One of our own symbols, square, in one colour.
class SymbolView final : public QWidget
{
public:
    SymbolView(QString name, int size, QColor colour, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
    QColor m_colour;
};

// An answer of the overlay: a pill in the large size, `labelWidth` wide for its label plus
// 8 points above and below it.
PillButton* overlayButton(const QString& text, bool prominent, int labelWidth, QWidget* parent);

// The screen behind the overlay, frosted: no window can blur what other applications draw,
// so the screen is photographed just before the overlay covers it, and that picture is
// drawn heavily blurred and dimmed. Without a picture (the screen could not be read) the
// backdrop is plain KS.ink.
class FrostedBackdrop
{
public:
    FrostedBackdrop() = default;
    explicit FrostedBackdrop(const QImage& screen);

    // What `screen` shows now, before any overlay window is on it; null when it cannot be read.
    static QImage photograph(QScreen* screen);

    bool hasPicture() const { return !m_blurred.isNull(); }
    void paint(QPainter& painter, const QRect& area) const;

private:
    QImage m_blurred; // small: scaling it up smoothly is the last step of the blur
};

// `card` centred on a transparent widget that takes the whole screen.
QWidget* centredOnScreen(QWidget* card, QWidget* parent);

} // namespace kestrove
