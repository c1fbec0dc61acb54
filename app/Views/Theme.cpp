#include "Views/Theme.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QToolTip>

namespace kestrove {

namespace {

constexpr qreal kFieldRadius = 6;

// Fusion, with text fields drawn as the rest of the look is: a rounded panel with a hairline,
// in the deep colour while the field has focus. Fusion's own frame is the window colour
// darkened, which all but vanishes on ink.
class KSStyle final : public QProxyStyle
{
public:
    KSStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        const bool field = element == PE_PanelLineEdit || element == PE_FrameLineEdit;
        const auto* frame = field ? qstyleoption_cast<const QStyleOptionFrame*>(option) : nullptr;
        if (!frame || frame->lineWidth <= 0) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRectF outline = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (element == PE_PanelLineEdit) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(option->palette.base());
            painter->drawRoundedRect(outline, kFieldRadius, kFieldRadius);
        }
        const bool focused = (option->state & State_HasFocus) && (option->state & State_Enabled);
        painter->setPen(QPen(focused ? KS::deep() : KS::border(), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(outline, kFieldRadius, kFieldRadius);
        painter->restore();
    }
};

} // namespace

QColor toQColor(const Rgba& colour)
{
    QColor result(colour.red, colour.green, colour.blue);
    result.setAlphaF(static_cast<float>(colour.alpha));
    return result;
}

// Function-local statics: made once on first use, safely even if two threads race to it.
#define KESTROVE_NAMED_COLOUR(name)                                                                \
    const QColor& KS::name()                                                                       \
    {                                                                                              \
        static const QColor colour = toQColor(Palette::name);                                      \
        return colour;                                                                             \
    }

KESTROVE_NAMED_COLOUR(ink)
KESTROVE_NAMED_COLOUR(surface)
KESTROVE_NAMED_COLOUR(surface2)
KESTROVE_NAMED_COLOUR(border)
KESTROVE_NAMED_COLOUR(borderSoft)
KESTROVE_NAMED_COLOUR(text)
KESTROVE_NAMED_COLOUR(textSecondary)
KESTROVE_NAMED_COLOUR(textTertiary)
KESTROVE_NAMED_COLOUR(deep)
KESTROVE_NAMED_COLOUR(deepDark)
KESTROVE_NAMED_COLOUR(deepLight)
KESTROVE_NAMED_COLOUR(shallow)
KESTROVE_NAMED_COLOUR(distraction)
KESTROVE_NAMED_COLOUR(neutral)
KESTROVE_NAMED_COLOUR(idle)
KESTROVE_NAMED_COLOUR(success)
KESTROVE_NAMED_COLOUR(unassignedColor)
KESTROVE_NAMED_COLOUR(track)

#undef KESTROVE_NAMED_COLOUR

QColor KS::projectColor(std::optional<std::string_view> key)
{
    return toQColor(Palette::projectColor(key));
}

QColor KS::kindColor(ContextKind kind)
{
    return toQColor(Palette::kindColor(kind));
}

QGradientStops KS::deepGradient()
{
    return {{0.0, deepDark()}, {0.5, deep()}, {1.0, deepLight()}};
}

QFont uiFont(int pixelSize, QFont::Weight weight)
{
    QFont font(kFontFamily);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QPalette ksPalette()
{
    // Opaque stand-ins for the translucent text strengths where Qt blends poorly (disabled
    // text over pressed buttons), and a few steps between ink and surface2 for Fusion's bevels.
    const QColor tertiaryOnInk = QColor(0x62, 0x64, 0x6A);
    QPalette palette;
    palette.setColor(QPalette::Window, KS::ink());
    palette.setColor(QPalette::WindowText, KS::text());
    palette.setColor(QPalette::Base, KS::surface());
    palette.setColor(QPalette::AlternateBase, KS::surface2());
    palette.setColor(QPalette::ToolTipBase, KS::surface2());
    palette.setColor(QPalette::ToolTipText, KS::text());
    palette.setColor(QPalette::PlaceholderText, KS::textTertiary());
    palette.setColor(QPalette::Text, KS::text());
    palette.setColor(QPalette::Button, KS::surface2());
    palette.setColor(QPalette::ButtonText, KS::text());
    palette.setColor(QPalette::BrightText, KS::distraction());
    palette.setColor(QPalette::Light, QColor(0x2E, 0x32, 0x40));
    palette.setColor(QPalette::Midlight, QColor(0x24, 0x27, 0x33));
    palette.setColor(QPalette::Mid, QColor(0x1B, 0x1E, 0x29));
    palette.setColor(QPalette::Dark, QColor(0x10, 0x11, 0x17));
    palette.setColor(QPalette::Shadow, QColor(0x05, 0x05, 0x08));
    palette.setColor(QPalette::Highlight, KS::deep());
    palette.setColor(QPalette::HighlightedText, KS::ink());
    palette.setColor(QPalette::Link, KS::deep());
    palette.setColor(QPalette::LinkVisited, KS::deepLight());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, tertiaryOnInk);
    }
    palette.setColor(QPalette::Disabled, QPalette::Highlight, KS::surface2());
    palette.setColor(QPalette::Disabled, QPalette::Button, KS::surface());
    // Fusion etches disabled text with the light colour, a white ghost on a dark look.
    palette.setColor(QPalette::Disabled, QPalette::Light, Qt::transparent);
    return palette;
}

void applyTheme(QApplication& app)
{
    app.setStyle(new KSStyle);
    const QPalette palette = ksPalette();
    app.setPalette(palette);
    app.setFont(uiFont(13));
    QToolTip::setPalette(palette);
    QToolTip::setFont(uiFont(12));
}

} // namespace kestrove
