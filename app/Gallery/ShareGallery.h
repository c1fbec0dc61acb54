#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The share cards of a day and of a week, and the share sheet, from a week of recorded work.
std::vector<GalleryView> shareGalleryViews();

} // namespace kestrove::gallery
