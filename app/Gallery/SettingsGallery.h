#pragma once

#include "Gallery/Gallery.h"

#include <vector>

namespace kestrove::gallery {

// Each card of the settings page over a real engine with a month of use behind it.
std::vector<GalleryView> settingsGalleryViews();

} // namespace kestrove::gallery
