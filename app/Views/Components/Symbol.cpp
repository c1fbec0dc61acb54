#include "Views/Components/Symbol.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <map>
#include <memory>

// The resource lives in a static library: it has to be registered by hand.
static void initSymbolResources()
{
    Q_INIT_RESOURCE(Symbols);
}

namespace kestrove {

namespace {

QSvgRenderer* rendererFor(QStringView name)
{
    static const bool initialised = (initSymbolResources(), true);
    (void)initialised;
    static std::map<QString, std::unique_ptr<QSvgRenderer>> renderers;
    const QString key = name.toString();
    auto found = renderers.find(key);
    if (found == renderers.end()) {
        auto renderer = std::make_unique<QSvgRenderer>(":/symbols/" + key + ".svg");
        found = renderers.emplace(key, std::move(renderer)).first;
    }
    return found->second->isValid() ? found->second.get() : nullptr;
}

} // namespace

bool hasSymbol(QStringView name)
{
    return rendererFor(name) != nullptr;
}

void paintSymbol(QPainter& painter, QStringView name, const QRectF& rect, const QColor& colour)
{
    QSvgRenderer* renderer = rendererFor(name);
    if (!renderer || rect.isEmpty()) {
        return;
    }
    // Render the black shape at the device's resolution, then take only its coverage.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(static_cast<int>(std::ceil(rect.width() * ratio)),
                       static_cast<int>(std::ceil(rect.height() * ratio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter shape(&image);
        shape.setRenderHint(QPainter::Antialiasing);
        renderer->render(&shape, QRectF(QPointF(0, 0), QSizeF(pixels)));
        shape.setCompositionMode(QPainter::CompositionMode_SourceIn);
        shape.fillRect(image.rect(), colour);
    }
    image.setDevicePixelRatio(ratio);
    painter.drawImage(rect.topLeft(), image);
}

} // namespace kestrove
