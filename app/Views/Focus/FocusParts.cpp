#include "Views/Focus/FocusParts.h"

#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace kestrove {

namespace {

// The chip's cross: a chrome-less button the size of its symbol and a little margin.
class RemoveButton : public QAbstractButton
{
public:
    explicit RemoveButton(QWidget* parent = nullptr) : QAbstractButton(parent)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName("Remove");
    }
    QSize sizeHint() const override { return {12, 12}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintSymbol(painter, u"xmark", QRectF(2, 2, 8, 8), KS::textTertiary());
    }
};

} // namespace

QIcon appIcon(const std::string& icon)
{
    if (icon.empty()) {
        return {};
    }
    const QString name = QString::fromStdString(icon);
    if (QFileInfo(name).isAbsolute()) {
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    }
    return QIcon::fromTheme(name);
}

AppChip::AppChip(const QIcon& icon, const QString& name, int spacing,
                 std::function<void()> onRemove, QWidget* parent)
    : QWidget(parent), m_name(textLabel(name, 11, QFont::Medium, KS::text())),
      m_remove(new RemoveButton)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(9, 5, 9, 5);
    layout->setSpacing(spacing);
    if (!icon.isNull()) {
        auto* image = new QLabel;
        image->setPixmap(icon.pixmap(QSize(14, 14), devicePixelRatioF()));
        image->setFixedSize(14, 14);
        layout->addWidget(image, 0, Qt::AlignVCenter);
    }
    layout->addWidget(m_name, 0, Qt::AlignVCenter);
    layout->addWidget(m_remove, 0, Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QObject::connect(m_remove, &QAbstractButton::clicked, this, [onRemove = std::move(onRemove)] {
        if (onRemove) {
            onRemove();
        }
    });
}

QString AppChip::name() const
{
    return m_name->text();
}

void AppChip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule(rect()), KS::surface2());
}

QWidget* showPopover(QWidget* content, QWidget* anchor)
{
    auto* popover = new QWidget(anchor->window(), Qt::Popup | Qt::FramelessWindowHint);
    popover->setAttribute(Qt::WA_DeleteOnClose);
    QPalette palette = popover->palette();
    palette.setColor(QPalette::Window, KS::surface());
    popover->setPalette(palette);
    popover->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(popover);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    popover->adjustSize();
    QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height() + 6));
    if (const QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() - popover->width())));
        if (at.y() + popover->height() > area.bottom()) {
            at.setY(std::max(area.top(),
                             anchor->mapToGlobal(QPoint(0, 0)).y() - popover->height() - 6));
        }
    }
    popover->move(at);
    popover->show();
    return popover;
}

} // namespace kestrove
