#pragma once

#include "ViewLogic/Charts/BarChartModel.h"

#include <QColor>
#include <QWidget>

namespace kestrove {

// Bars of hours over a value axis with grid lines, labels under the bars, annotations above
// them and an optional dashed goal line, as the model computed them. Draws only.
class BarChartView final : public QWidget
{
public:
    struct Style
    {
        QColor colour;
        // The current bar in the deep gradient rather than in `colour`.
        bool gradientOnCurrent = false;
        double currentOpacity = 1.0;
        double otherOpacity = 0.55;
        double cornerRadius = 4;
        double barRatio = 0.55;
        int categoryLabelSize = 10;
        QColor categoryLabelColour;
    };

    BarChartView(BarChartModel model, Style style, int height, QWidget* parent = nullptr);

    const BarChartModel& model() const { return m_model; }
    void setModel(BarChartModel model);
    BarChartLayout chartLayout() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BarChartModel m_model;
    Style m_style;
};

} // namespace kestrove
