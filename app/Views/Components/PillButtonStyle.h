#pragma once

#include <QPushButton>

class QPainter;

namespace kestrove {

// The pill look of a button: its label in 12 points semibold, inset 12 across and 7 down,
// on a capsule. A prominent pill is the deep gradient with an ink label and only dims to 0.85
// when pressed; a plain one is white at 0.08 (0.14 pressed) with a KS.border outline.
struct PillButtonStyle
{
    bool prominent = false;
    // Larger labels for the few big answers of a full-screen wall; the insets stay.
    int labelSize = 12;

    QSize sizeFor(const QString& label) const;
    // Dims on top of whatever opacity the painter already has (a disabled button's).
    void paint(QPainter& painter, const QRectF& bounds, const QString& label, bool pressed) const;
    QFont labelFont() const;
    static QFont font();
};

// A push button drawn in the pill look. Only the capsule answers clicks: a click in the
// transparent corners of the button's rectangle goes to whatever lies beneath. A disabled
// pill is drawn at 0.4 so that it reads as not available.
class PillButton : public QPushButton
{
public:
    PillButton(const QString& text, PillButtonStyle style, QWidget* parent = nullptr);

    const PillButtonStyle& pillStyle() const { return m_style; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    PillButtonStyle m_style;
};

} // namespace kestrove
