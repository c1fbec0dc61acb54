#pragma once

#include "ViewLogic/Design/Palette.h"

#include <QColor>
#include <QFont>
#include <QGradientStops>

#include <optional>
#include <string_view>

class QApplication;
class QPalette;

namespace kestrove {

QColor toQColor(const Rgba& colour);

// The design system's colours as the widgets draw them. Each named colour is made once, on
// first use; there is no light variant and nothing follows the desktop's theme.
class KS
{
public:
    KS() = delete;

    static const QColor& ink();
    static const QColor& surface();
    static const QColor& surface2();
    static const QColor& border();
    static const QColor& borderSoft();
    static const QColor& text();
    static const QColor& textSecondary();
    static const QColor& textTertiary();
    static const QColor& deep();
    static const QColor& deepDark();
    static const QColor& deepLight();
    static const QColor& shallow();
    static const QColor& distraction();
    static const QColor& neutral();
    static const QColor& idle();
    static const QColor& success();
    static const QColor& unassignedColor();

    static QColor projectColor(std::optional<std::string_view> key);
    static QColor kindColor(ContextKind kind);

    // The track under progress bars and rings: white at 0.06.
    static const QColor& track();
    // deepDark, deep, deepLight, evenly spaced from 0 to 1.
    static QGradientStops deepGradient();
};

// The one family every text of the application is set in. Its ten digits share one width,
// so running clocks and counters do not shift as they tick.
inline constexpr const char* kFontFamily = "Open Sans";

// The application's font at a size in logical pixels (what the design calls points).
QFont uiFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// The palette that makes Qt's own widgets (menus, fields, pop-ups, scroll bars, tool tips)
// match the dark look.
QPalette ksPalette();

// Gives the application the Fusion style, the dark palette and the application font; the
// program and the view gallery call it once, right after creating the QApplication.
void applyTheme(QApplication& app);

} // namespace kestrove
