#include "album/AlbumTreeOrder.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <unordered_map>

#include "slideshow/Exif.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"
#include "slideshow/SlideShowTree.h"

namespace nimbra {

namespace {

bool HasDate(TDateTime date) { return date != kNoCaptureDateTime; }

TDateTime OwnCaptureDate(ITreeItem& item) {
  auto* source = dynamic_cast<IExifSource*>(SlideShowObjectOf(&item));
  if (source == nullptr) return kNoCaptureDateTime;
  const TSlideShowObjectExif* exif = source->Exif();
  return exif != nullptr ? exif->CaptureDateTime() : kNoCaptureDateTime;
}

// The items in the document's order. Items whose objects are not all in one document list (a
// tree of other items) keep the order they have.
std::vector<TRef<ITreeItem>> InDocumentOrder(std::vector<TRef<ITreeItem>> items) {
  if (items.empty()) return items;
  const TSlideShowObject* first = SlideShowObjectOf(items.front());
  const TSlideShowObjectList* list = first != nullptr ? first->OwnerList() : nullptr;
  if (list == nullptr) return items;
  std::unordered_map<const TSlideShowObject*, int32_t> places;
  for (int32_t i = 0; i < list->Count(); ++i) places.emplace(list->Items(i), i);
  std::vector<int32_t> keys;
  for (const TRef<ITreeItem>& item : items) {
    const auto place = places.find(SlideShowObjectOf(item));
    if (place == places.end()) return items;
    keys.push_back(place->second);
  }
  std::vector<int32_t> positions(items.size());
  std::iota(positions.begin(), positions.end(), 0);
  std::stable_sort(positions.begin(), positions.end(),
                   [&](int32_t a, int32_t b) { return keys[a] < keys[b]; });
  std::vector<TRef<ITreeItem>> ordered;
  for (const int32_t position : positions) ordered.push_back(items[position]);
  return ordered;
}

}  // namespace

TDateTime EarliestCaptureDate(ITreeItem& item) {
  TDateTime earliest = OwnCaptureDate(item);
  const TRef<ITreeItemList> children = item.GetChildren();
  if (!children) return earliest;
  for (int32_t i = 0; i < children->Count(); ++i) {
    const TRef<ITreeItem> child = children->GetItem(i);
    if (!child) continue;
    const TDateTime date = EarliestCaptureDate(*child);
    if (HasDate(date) && (!HasDate(earliest) || date < earliest)) earliest = date;
  }
  return earliest;
}

std::vector<int32_t> ByCaptureDatePositions(const std::vector<TDateTime>& dates) {
  std::vector<int32_t> positions(dates.size());
  std::iota(positions.begin(), positions.end(), 0);
  std::stable_sort(positions.begin(), positions.end(), [&](int32_t a, int32_t b) {
    if (HasDate(dates[a]) != HasDate(dates[b])) return HasDate(dates[a]);
    return HasDate(dates[a]) && dates[a] < dates[b];
  });
  return positions;
}

std::vector<int32_t> ShuffledPositions(int32_t count, uint32_t seed) {
  std::vector<int32_t> positions(static_cast<size_t>(std::max(count, 0)));
  std::iota(positions.begin(), positions.end(), 0);
  // The engine's numbers are fixed by the standard; std::shuffle and the distributions are not.
  std::mt19937 engine(seed);
  for (size_t i = positions.size(); i > 1; --i) {
    const size_t j = engine() % i;
    std::swap(positions[i - 1], positions[j]);
  }
  return positions;
}

void ArrangeRootItems(ITree& tree, const TAlbumPageOrder& order) {
  const TRef<ITreeItemList> list = tree.GetItems();
  if (!list) return;
  std::vector<TRef<ITreeItem>> items;
  for (int32_t i = 0; i < list->Count(); ++i) items.push_back(list->GetItem(i));
  items = InDocumentOrder(std::move(items));

  std::vector<int32_t> positions(items.size());
  std::iota(positions.begin(), positions.end(), 0);
  if (order.Mode == TPageOrderMode::ByCaptureDate) {
    std::vector<TDateTime> dates;
    for (const TRef<ITreeItem>& item : items) dates.push_back(EarliestCaptureDate(*item));
    positions = ByCaptureDatePositions(dates);
  } else if (order.Mode == TPageOrderMode::Random) {
    positions = ShuffledPositions(static_cast<int32_t>(items.size()), order.Seed);
  }

  // Already in that order (the document's own, at every start): the list stays as it is.
  bool inPlace = true;
  for (size_t i = 0; i < positions.size() && inPlace; ++i) {
    inPlace = list->GetItem(static_cast<int32_t>(i)) == items[size_t(positions[i])];
  }
  if (inPlace) return;
  // The items held here keep them alive while the list lets go of them.
  list->Clear();
  for (const int32_t position : positions) list->Add(items[position]);
}

}  // namespace nimbra
