#pragma once

#include "Views/Components/PillButtonStyle.h"

namespace kestrove {

// A pill with one of our symbols before its label ("plus", "Choose apps"); the symbol is as
// tall as the label's capitals and dims with the label when pressed.
class SymbolPill final : public PillButton
{
public:
    SymbolPill(const QString& symbol, const QString& text, PillButtonStyle style,
               QWidget* parent = nullptr);

    QSize sizeHint() const override;
    const QString& symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
};

} // namespace kestrove
