#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The tray icon's states, the popover, and the dashboard frame on each page.
std::vector<GalleryView> shellGalleryViews();

} // namespace kestrove::gallery
