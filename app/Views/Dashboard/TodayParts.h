#pragma once

#include "Views/Components/PillButtonStyle.h"
#include "Views/Lockdown/OverlayParts.h"

#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QVBoxLayout;

namespace kestrove {

// Small pieces the today page and its cards are built from.

// A plain label of the page: one line that keeps its height, or wrapping text.
QLabel* pageText(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                 bool wraps = false);

// A page's heading: its eyebrow over its title in 24-pixel bold. The names, when given, are the
// two widgets' object names.
QVBoxLayout* pageTitles(const QString& eyebrow, const QString& title,
                        const char* eyebrowName = nullptr, const char* titleName = nullptr);

// A pill button whose label is a row of pieces: texts in their own fonts and colours, and
// symbols. Disabled, it fades as every pill does.
class PartsPill final : public QPushButton
{
public:
    struct Part
    {
        QString text; // a text, or a symbol's name when `symbol` is set
        QFont font;
        QColor colour;
        bool symbol = false;
        int symbolSize = 10;
    };

    PartsPill(std::vector<Part> parts, PillButtonStyle style, int spacing = 6,
              QWidget* parent = nullptr);
    // A pill holding only a symbol, e.g. the chevrons of the day switcher.
    static PartsPill* symbolOnly(const QString& symbol, int size = 11);
    const std::vector<Part>& parts() const { return m_parts; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double partWidth(const Part& part) const;

    std::vector<Part> m_parts;
    PillButtonStyle m_style;
    int m_spacing;
};

} // namespace kestrove
