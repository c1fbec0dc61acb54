#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The application picker, the always-allowed card, the focus-task card empty, filled and
// running, and the lock-in page with its history.
std::vector<GalleryView> focusGalleryViews();

} // namespace kestrove::gallery
