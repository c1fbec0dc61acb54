#include "Views/Shell/StatusItem.h"

#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QFontMetricsF>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <algorithm>

namespace kestrove {

namespace {

// Trays ask for 16 to 48 pixels; one picture per common size keeps the text sharp.
constexpr int kIconSizes[] = {22, 24, 32, 48};

} // namespace

StatusItem::StatusItem(QObject* parent) : QObject(parent), m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason) { emit activated(); });
}

StatusItem::~StatusItem() = default;

void StatusItem::setTitle(const QString& title)
{
    if (title == m_title && m_renders > 0) {
        return;
    }
    m_title = title;
    QIcon icon;
    for (const int size : kIconSizes) {
        icon.addPixmap(QPixmap::fromImage(titleImage(title, size, 2.0)));
    }
    ++m_renders;
    m_tray->setIcon(icon);
    m_tray->setToolTip(plainToolTip(QStringLiteral("Kestrove · ") + title));
    if (!m_tray->isVisible()) {
        m_tray->show();
    }
}

bool StatusItem::isTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QRect StatusItem::geometry() const
{
    return m_tray->geometry();
}

QImage StatusItem::titleImage(const QString& title, int logicalSize, qreal ratio)
{
    QImage image(QSize(logicalSize, logicalSize) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // A focus task's title starts with the lock; the lock takes the mark's place, since the
    // application font has no such character.
    static const QString kLock = QStringLiteral("\U0001F512 ");
    const bool locked = title.startsWith(kLock);
    const QString text = locked ? title.mid(kLock.size()) : title;
    const qreal size = logicalSize;
    const qreal markHeight = size * 0.38;
    if (locked) {
        paintSymbol(painter, u"lock.fill", QRectF(size * 0.34, 0, size * 0.32, markHeight),
                    KS::deepLight());
    } else {
        paintSymbol(painter, u"water.waves", QRectF(size * 0.22, 0, size * 0.56, markHeight),
                    KS::deepLight());
    }

    // The largest bold size at which the title fits the icon's width.
    const QRectF textBox(0, markHeight, size, size - markHeight);
    int pixelSize = static_cast<int>(textBox.height());
    QFont font = uiFont(pixelSize, QFont::Bold);
    while (pixelSize > 4 && QFontMetricsF(font).horizontalAdvance(title) > textBox.width()) {
        font.setPixelSize(--pixelSize);
    }
    painter.setFont(font);
    painter.setPen(KS::text());
    painter.drawText(textBox, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, text);
    return image;
}

} // namespace kestrove
