#pragma once

#include "ViewLogic/Share/ShareCard.h"

#include <QByteArray>
#include <QImage>

#include <optional>
#include <string>

class QPainter;

namespace kestrove {

// The share card, painted on a painter whose unit is one logical pixel of the 1200 × 675 card.
void paintShareCard(QPainter& painter, const ShareCardData& data, const std::string& locale = {});
// The card as an image of 2400 × 1350 pixels (device pixel ratio 2); a null image when it could
// not be made.
QImage renderShareCard(const ShareCardData& data, const std::string& locale = {});
// The image as PNG bytes; nothing when it is null or the encoding fails.
std::optional<QByteArray> pngData(const QImage& image);

} // namespace kestrove
