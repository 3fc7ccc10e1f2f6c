// Puts the slideshow tree's root items into the album's page order before the pages are built:
// the page walk takes the pictures in the order of the tree. A root item moves with everything
// below it, so the pictures of a collection stay together and in their own order.
#pragma once

#include <cstdint>
#include <vector>

#include "album/AlbumPageOrder.h"
#include "framework/CustomTree.h"
#include "slideshow/DateTimeValue.h"

namespace nimbra {

// Reorders the root items of a slideshow tree. The order is taken from the document each time
// (the items' objects keep their place in it), so any order can follow any other.
void ArrangeRootItems(ITree& tree, const TAlbumPageOrder& order);

// The earliest capture date of the pictures at and below the item; kNoCaptureDateTime when none
// of them has one.
TDateTime EarliestCaptureDate(ITreeItem& item);

// The stable order of the dates: dated ones by their date, then those without one as they were.
std::vector<int32_t> ByCaptureDatePositions(const std::vector<TDateTime>& dates);
// A permutation of 0 .. count - 1 drawn from the seed, the same on every machine and build: the
// remembered page has to mean the same picture on the next start.
std::vector<int32_t> ShuffledPositions(int32_t count, uint32_t seed);

}  // namespace nimbra
