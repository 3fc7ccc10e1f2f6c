// Photo folders for the make-show, make-project and album tests, painted with the demo's photo
// writer: each photo has a signature colour in its middle, so a rendered page tells which photo
// landed where.
#pragma once

#include <string>
#include <vector>

#include "DemoPhotos.h"

namespace nimbra::test {

// count photos in folder: JPEG and PNG, landscape and portrait mixed, a third at the top and a
// third in each of the sub-folders "Berge" and "Meer". JPEGs carry capture times that follow the
// order of their numbers; PNGs carry none. Yields them in the order make-show puts them.
std::vector<demo::TDemoPhoto> WriteMixedPhotos(const std::string& folder, int count);

// The folder's photo object paths as the pages command prints them ("1", "4.2", ...) in order.
std::vector<std::string> ObjectPaths(const std::vector<demo::TDemoPhoto>& photos);

}  // namespace nimbra::test
