#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The today page live and on a past day, a first day with nothing yet, the assign sheet, and
// the depth strip and review cards on their own.
std::vector<GalleryView> todayGalleryViews();

} // namespace kestrove::gallery
