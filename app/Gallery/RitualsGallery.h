#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The morning wall and the plan editor, the plan card and strip in their states, and the
// evening shutdown window.
std::vector<GalleryView> ritualsGalleryViews();

} // namespace kestrove::gallery
