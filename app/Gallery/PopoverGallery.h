#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The popover in its states, the floating lock-in display and each step of onboarding.
std::vector<GalleryView> popoverGalleryViews();

} // namespace kestrove::gallery
