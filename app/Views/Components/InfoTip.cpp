#include "Views/Components/InfoTip.h"

#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kIconSize = 12;
constexpr int kInset = 12;
constexpr qreal kCornerRadius = 10;

} // namespace

InfoTipPopover::InfoTipPopover(const QString& title, const QString& detail, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    // A click on the icon that closes the popover must not open it again at once.
    setAttribute(Qt::WA_NoMouseReplay);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kInset, kInset + kArrowHeight, kInset, kInset);
    layout->setSpacing(6);
    QLabel* titleLabel = plainLabel(title, this);
    titleLabel->setFont(uiFont(12, QFont::DemiBold));
    QLabel* detailLabel = plainLabel(detail, this);
    detailLabel->setFont(uiFont(11));
    detailLabel->setWordWrap(true);
    QPalette secondary = detailLabel->palette();
    secondary.setColor(QPalette::WindowText, KS::textSecondary());
    detailLabel->setPalette(secondary);
    layout->addWidget(titleLabel);
    layout->addWidget(detailLabel);
    setFixedWidth(kWidth);
    setFixedHeight(layout->totalHeightForWidth(kWidth));
}

void InfoTipPopover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, kArrowHeight + 0.5, -0.5, -0.5);
    QPainterPath shape = continuousRoundedRect(body, kCornerRadius);
    const qreal middle = width() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(middle - kArrowHeight - 1, body.top() + 1);
    arrow.lineTo(middle, 0.5);
    arrow.lineTo(middle + kArrowHeight + 1, body.top() + 1);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    painter.fillPath(shape, KS::surface2());
    painter.setPen(QPen(KS::border(), 1));
    painter.drawPath(shape);
}

InfoTip::InfoTip(const QString& title, const QString& detail, QWidget* parent)
    : QAbstractButton(parent), m_title(title), m_detail(detail)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &InfoTip::toggle);
}

QSize InfoTip::sizeHint() const
{
    return {kIconSize, kIconSize};
}

void InfoTip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF icon((width() - kIconSize) / 2.0, (height() - kIconSize) / 2.0, kIconSize,
                      kIconSize);
    paintSymbol(painter, u"info.circle", icon, KS::textTertiary());
}

void InfoTip::toggle()
{
    if (isShowing()) {
        m_popover->close();
        return;
    }
    open();
}

void InfoTip::open()
{
    m_popover = new InfoTipPopover(m_title, m_detail, this);
    m_popover->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    // The arrow's tip touches the middle of the icon's bottom edge.
    const QPoint anchor = mapToGlobal(QPoint(width() / 2, height()));
    m_popover->move(anchor.x() - InfoTipPopover::kWidth / 2, anchor.y());
    m_popover->show();
}

} // namespace kestrove
