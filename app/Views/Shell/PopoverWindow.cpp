#include "Views/Shell/PopoverWindow.h"

#include "ViewLogic/Shell/PopoverPlacement.h"
#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace kestrove {

namespace {

PixelRect toPixelRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

} // namespace

PopoverWindow::PopoverWindow(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedWidth(kWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PopoverWindow::setContent(QWidget* content)
{
    if (m_content) {
        m_content->deleteLater();
    }
    m_content = content;
    m_content->setFixedWidth(kWidth);
    layout()->addWidget(content);
    adjustSize();
}

void PopoverWindow::toggle(const std::optional<QRect>& trayIcon)
{
    if (isVisible()) {
        close();
        return;
    }
    open(trayIcon);
}

void PopoverWindow::open(const std::optional<QRect>& trayIcon)
{
    adjustSize();
    const QPoint pointer = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(trayIcon ? trayIcon->center() : pointer);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    std::optional<PixelRect> icon;
    if (trayIcon && !trayIcon->isEmpty()) {
        icon = toPixelRect(*trayIcon);
    }
    const PixelPoint origin = popoverPosition(icon, {pointer.x(), pointer.y()}, width(), height(),
                                              toPixelRect(screen->availableGeometry()));
    move(origin.x, origin.y);
    show();
    raise();
    activateWindow();
}

void PopoverWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(KS::border(), 1));
    painter.setBrush(KS::ink());
    painter.drawPath(continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12));
}

} // namespace kestrove
