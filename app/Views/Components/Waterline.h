#pragma once

#include <QGradientStops>
#include <QWidget>

namespace kestrove {

class SpringValue;

// A horizontal progress bar `height` high across the width it is given: a faint capsule
// track, and over it a capsule filled with `tint` from the leading edge. The fill is never
// narrower than the bar is high, so no progress still shows a dot.
class Waterline : public QWidget
{
public:
    Waterline(double progress, int height, QGradientStops tint, QWidget* parent = nullptr);

    void setProgress(double progress);
    void setTint(QGradientStops tint);
    double progress() const;
    // The fill's width at the value currently shown (which trails a new progress while the
    // spring moves).
    double fillWidth() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SpringValue* m_progress;
    QGradientStops m_tint;
};

} // namespace kestrove
