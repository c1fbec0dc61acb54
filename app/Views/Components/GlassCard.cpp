#include "Views/Components/GlassCard.h"

#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrove {

namespace {

constexpr qreal kCornerRadius = 24;

struct Shadow
{
    qreal opacity;
    qreal radius;
    qreal dy;
};
// The wide, soft shadow first, then the close, crisp one.
constexpr Shadow kShadows[] = {{0.35, 40, 20}, {0.18, 6, 2}};

// A box blur of the alpha channel, three passes, which is near enough to a Gaussian blur.
void blurAlpha(QImage& image, int boxRadius)
{
    if (boxRadius < 1) {
        return;
    }
    const int w = image.width();
    const int h = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    std::vector<int> line(static_cast<std::size_t>(std::max(w, h)));
    const auto pass = [&](bool horizontal) {
        const int length = horizontal ? w : h;
        const int lines = horizontal ? h : w;
        for (int l = 0; l < lines; ++l) {
            const auto at = [&](int i) -> uchar& {
                const int x = horizontal ? i : l;
                const int y = horizontal ? l : i;
                return bits[y * stride + x * 4 + 3];
            };
            for (int i = 0; i < length; ++i) {
                line[static_cast<std::size_t>(i)] = at(i);
            }
            int sum = 0;
            const int window = 2 * boxRadius + 1;
            for (int i = -boxRadius; i <= boxRadius; ++i) {
                sum += (i >= 0 && i < length) ? line[static_cast<std::size_t>(i)] : 0;
            }
            for (int i = 0; i < length; ++i) {
                at(i) = static_cast<uchar>(sum / window);
                const int leaving = i - boxRadius;
                const int entering = i + boxRadius + 1;
                sum -= leaving >= 0 ? line[static_cast<std::size_t>(leaving)] : 0;
                sum += entering < length ? line[static_cast<std::size_t>(entering)] : 0;
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
}

} // namespace

GlassCard::GlassCard(QWidget* content, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(shadowMargins());
    layout->setSpacing(0);
    layout->addWidget(content);
}

QMargins GlassCard::shadowMargins()
{
    return {40, 20, 40, 60};
}

QRect GlassCard::cardRect() const
{
    return rect().marginsRemoved(shadowMargins());
}

const QImage& GlassCard::shadowImage(qreal ratio)
{
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_shadow.size() == pixels && m_shadow.devicePixelRatio() == ratio) {
        return m_shadow;
    }
    QImage result(pixels, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    for (const Shadow& shadow : kShadows) {
        QImage layer(pixels, QImage::Format_ARGB32);
        layer.fill(Qt::transparent);
        {
            QPainter painter(&layer);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(ratio, ratio);
            painter.fillPath(
                continuousRoundedRect(QRectF(cardRect()).translated(0, shadow.dy), kCornerRadius),
                QColor(0, 0, 0, static_cast<int>(std::lround(shadow.opacity * 255))));
        }
        // Three box passes of radius r spread like a Gaussian of sigma ≈ r; the shadow's
        // radius is taken as twice its sigma.
        blurAlpha(layer, static_cast<int>(std::lround(shadow.radius / 2 * ratio)));
        QPainter painter(&result);
        painter.drawImage(0, 0, layer);
    }
    result.setDevicePixelRatio(ratio);
    m_shadow = result;
    return m_shadow;
}

void GlassCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.drawImage(QPointF(0, 0), shadowImage(ratio));
    const QRectF card = cardRect();
    // No blur of what lies behind is available to a widget; a dense translucent surface
    // stands in for the frosted material.
    QColor material = KS::surface2();
    material.setAlphaF(0.94f);
    painter.fillPath(continuousRoundedRect(card, kCornerRadius), material);
    QColor edge(Qt::white);
    edge.setAlphaF(0.18f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(
        continuousRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius - 0.5));
}

} // namespace kestrove
