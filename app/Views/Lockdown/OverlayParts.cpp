#include "Views/Lockdown/OverlayParts.h"

#include "Views/Components/Symbol.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace kestrove {

namespace {

constexpr int kButtonLabelSize = 14;
constexpr int kButtonPadding = 8;
constexpr int kPillInsetAcross = 12;
// The blur: the picture shrunk to 1/24 of its size in two smooth steps, then scaled back up.
constexpr int kFirstShrink = 4;
constexpr int kSecondShrink = 6;
constexpr qreal kDim = 0.62;

} // namespace

QLabel* overlayText(const QString& text, int size, QFont::Weight weight, const QColor& colour,
                    QWidget* parent)
{
    QLabel* label = plainLabel(text, parent);
    label->setFont(uiFont(size, weight));
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

void fitText(QLabel& label, int maxWidth)
{
    const QFontMetrics metrics(label.font());
    // One pixel more than the advance: a line exactly as wide may still wrap.
    const int natural = metrics.horizontalAdvance(label.text()) + 1;
    const int width = std::min(natural, maxWidth);
    const int height = label.heightForWidth(width);
    label.setFixedSize(width, height > 0 ? height : metrics.height());
}

SymbolView::SymbolView(QString name, int size, QColor colour, QWidget* parent)
    : QWidget(parent), m_name(std::move(name)), m_colour(std::move(colour))
{
    setFixedSize(size, size);
}

void SymbolView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintSymbol(painter, m_name, rect(), m_colour);
}

PillButton* overlayButton(const QString& text, bool prominent, int labelWidth, QWidget* parent)
{
    auto* button = new PillButton(text, {prominent, kButtonLabelSize}, parent);
    const QSize natural = button->sizeHint();
    button->setFixedSize(std::max(natural.width(), labelWidth + 2 * kPillInsetAcross),
                         natural.height() + 2 * kButtonPadding);
    return button;
}

FrostedBackdrop::FrostedBackdrop(const QImage& screen)
{
    if (screen.isNull() || screen.width() < kFirstShrink * kSecondShrink ||
        screen.height() < kFirstShrink * kSecondShrink) {
        return;
    }
    const QImage half = screen.scaled(screen.size() / kFirstShrink, Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
    m_blurred =
        half.scaled(half.size() / kSecondShrink, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
}

QImage FrostedBackdrop::photograph(QScreen* screen)
{
    if (!screen) {
        return {};
    }
    const QPixmap picture = screen->grabWindow(0);
    return picture.isNull() ? QImage() : picture.toImage();
}

void FrostedBackdrop::paint(QPainter& painter, const QRect& area) const
{
    if (m_blurred.isNull()) {
        painter.fillRect(area, KS::ink());
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, m_blurred);
    QColor dim = KS::ink();
    dim.setAlphaF(kDim);
    painter.fillRect(area, dim);
    painter.restore();
}

QWidget* centredOnScreen(QWidget* card, QWidget* parent)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QGridLayout(holder);
    layout->addWidget(card, 0, 0, Qt::AlignCenter);
    return holder;
}

} // namespace kestrove
