// Kept in two halves apart from each other's headers: the picture kind's header and the template
// headers both declare a TPixelRect.
#include "KitRenderTestShow.h"

#include <span>
#include <stdexcept>

#include "raster/PictureWriters.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "storage/FileStream.h"

namespace nimbra::test {

namespace {

template <typename Names>
void AddPictures(TSlideShowObjectList& list, const Names& names) {
  for (const std::string& name : names) {
    auto picture = std::make_unique<TExtPicSlideShowObject>();
    picture->SetFileName(name);
    list.Add(std::move(picture));
  }
}

void Save(const TSlideShow& document, const std::string& path) {
  if (!document.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteNamedPictureShow(const std::string& path, const std::vector<std::string>& pictures) {
  TSlideShow document;
  AddPictures(document.RootList(), pictures);
  Save(document, path);
}

void WriteChapterShow(const std::string& path, const std::string& title, const std::string& chapter,
                      const std::vector<std::string>& pictures) {
  TSlideShow document;
  document.SlideShowInfoProperties().SetTitle(title);
  AddPictures(document.RootList(), std::span(pictures).first(1));
  auto container = std::make_unique<TContainerSlideShowObject>();
  container->SetText(chapter);
  TSlideShowObjectList& children = container->CreateChildren();
  document.RootList().Add(std::move(container));
  AddPictures(children, std::span(pictures).subspan(1));
  Save(document, path);
}

void WriteColourPicture(const std::string& path, int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  TFileStream stream(path, FileMode::Create);
  SavePng(bitmap, stream);
}

}  // namespace nimbra::test
