#pragma once

#include "Gallery/Gallery.h"

namespace kestrove::gallery {

// The week page over two weeks of recorded work and an empty week, the projects page's list
// by area, a project's detail, the unassigned pane and the project editor.
std::vector<GalleryView> weekGalleryViews();

} // namespace kestrove::gallery
