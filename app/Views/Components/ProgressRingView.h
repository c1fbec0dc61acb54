#pragma once

#include <QWidget>

namespace kestrove {

class SpringValue;

// A ring of progress in the frame it is given: a faint circular track and over it an arc
// from twelve o'clock, clockwise, with round caps, in the deep gradient.
class ProgressRingView : public QWidget
{
public:
    ProgressRingView(double progress, int lineWidth, QWidget* parent = nullptr);

    void setProgress(double progress);
    double progress() const;

    QSize sizeHint() const override { return {64, 64}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SpringValue* m_progress;
    int m_lineWidth;
};

} // namespace kestrove
