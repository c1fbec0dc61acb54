#include "Views/Rituals/RitualParts.h"

#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace kestrove {

QLabel* ritualLabel(const QString& text, int pixelSize, QFont::Weight weight, const QColor& colour,
                    QWidget* parent)
{
    QLabel* label = plainLabel(text, parent);
    label->setFont(uiFont(pixelSize, weight));
    setLabelColour(*label, colour);
    return label;
}

void setLabelColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

QIcon symbolIcon(QStringView name, const QColor& colour, int pixelSize)
{
    constexpr qreal kRatio = 2.0;
    QPixmap pixmap(QSize(pixelSize, pixelSize) * kRatio);
    pixmap.setDevicePixelRatio(kRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintSymbol(painter, name, QRectF(0, 0, pixelSize, pixelSize), colour);
    painter.end();
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Disabled);
    return icon;
}

RitualSymbol::RitualSymbol(QString name, const QColor& colour, int pixelSize, QWidget* parent)
    : QWidget(parent), m_name(std::move(name)), m_colour(colour)
{
    setFixedSize(pixelSize, pixelSize);
}

void RitualSymbol::setSymbol(QString name, const QColor& colour)
{
    m_name = std::move(name);
    m_colour = colour;
    update();
}

void RitualSymbol::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintSymbol(painter, m_name, rect(), m_colour);
}

MenuChip::MenuChip(int pixelSize, QFont::Weight weight, QWidget* parent) : QToolButton(parent)
{
    setFont(uiFont(pixelSize, weight));
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setCursor(Qt::PointingHandCursor);
}

void MenuChip::setLabel(const QString& text, const QColor& colour, QStringView symbol,
                        int symbolSize)
{
    setText(text);
    // A style sheet's colour wins over the palette's, so the colour goes there.
    setStyleSheet(QString("QToolButton { border: none; background: transparent; padding: 0; "
                          "color: rgba(%1, %2, %3, %4); }"
                          "QToolButton::menu-indicator { image: none; width: 0; }")
                      .arg(colour.red())
                      .arg(colour.green())
                      .arg(colour.blue())
                      .arg(colour.alpha()));
    if (symbol.isEmpty()) {
        setIcon({});
    } else {
        setIcon(symbolIcon(symbol, colour, symbolSize));
        setIconSize(QSize(symbolSize, symbolSize));
    }
}

QMenu* MenuChip::resetMenu()
{
    delete menu();
    auto* menu = new QMenu(this);
    setMenu(menu);
    return menu;
}

} // namespace kestrove
