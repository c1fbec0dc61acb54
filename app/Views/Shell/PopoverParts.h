#pragma once

#include "Views/PlainText.h"

#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SymbolPill.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QStringList>

namespace kestrove {

// The small parts the popover, the floating display and onboarding are built from.

// One line of text cut with an ellipsis when the row is narrower than the text; it asks for
// no more width than it is given, so a long name never widens the popover.
class ElidedText final : public QWidget
{
public:
    ElidedText(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
               QWidget* parent = nullptr);

    // Repaints only when the text or the colour really changes.
    void setText(const QString& text);
    void setColour(const QColor& colour);
    // Wraps onto up to `lines` lines, the last one cut with an ellipsis; its height follows.
    void setMaximumLines(int lines);
    const QString& text() const { return m_text; }
    // What fits now, its lines separated by line feeds.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_maximumLines > 1; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList linesFor(int width) const;

    QString m_text;
    QColor m_colour;
    int m_maximumLines = 1;
};

// A borderless button: an optional symbol of ours followed by a text, both in one tint. Its
// symbol is as high as the text's capitals; a symbol alone is drawn at `symbolSize`.
class PlainButton final : public QAbstractButton
{
public:
    PlainButton(const QString& symbol, const QString& text, QFont font, QColor tint,
                QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setTint(const QColor& tint);
    void setSymbolSize(int size);
    const QColor& tint() const { return m_tint; }
    const QString& symbol() const { return m_symbol; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int symbolSide() const;

    QString m_symbol;
    QColor m_tint;
    int m_symbolSize = 0;
};

} // namespace kestrove
