// The input of the renderer fuzzer, shared with its seed writer: one control byte that shapes a
// small slideshow and the renderer's settings, followed by a project structure as its stored form
// (headerless). The project around the structure has four fixed templates with IDs 1 to 4. Include
// this header in one source file per program.
#pragma once

#include <cstdint>
#include <memory>

#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementUserText.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::fuzz {

// Control byte: bits 0-1 the number of root objects; bit 4 makes the first root object a chapter
// of two objects; bit 5 makes the second a parallel group of two; bit 6 inserts blank pages. The
// show stays this small because a walk that never ends gives up only after 1000 steps per object
// and structure item, and under the fuzzer's instrumentation a step costs tens of microseconds:
// such walks take most of the fuzzer's time.
inline constexpr uint8_t kChapters = 0x10;
inline constexpr uint8_t kParallel = 0x20;
inline constexpr uint8_t kBlankPages = 0x40;

inline void AddLeaves(TSlideShowObjectList& list, int count) {
  for (int i = 0; i < count; ++i) list.Add(std::make_unique<TDummySlideShowObject>());
}

inline void BuildShow(uint8_t control, TSlideShow& show) {
  const int count = control & 0x03;
  for (int i = 0; i < count; ++i) {
    if ((control & kChapters) != 0 && i == 0) {
      auto chapter = std::make_unique<TContainerSlideShowObject>();
      AddLeaves(chapter->CreateChildren(), 2);
      show.RootList().Add(std::move(chapter));
    } else if ((control & kParallel) != 0 && i == 1) {
      auto group = std::make_unique<TParallelSlideShowObject>();
      AddLeaves(group->CreateChildren(), 2);
      show.RootList().Add(std::move(group));
    } else {
      AddLeaves(show.RootList(), 1);
    }
  }
}

// Template 1: two pictures; 2: text, picture, text (even pages); 3: no elements (odd pages);
// 4: one picture.
inline void BuildTemplates(TPrintWizardPageTemplateProject& project) {
  auto picture = [](TPageTemplate& page) {
    page.Elements().Add(std::make_unique<TPrintPageElementPicture>());
  };
  auto text = [](TPageTemplate& page) {
    page.Elements().Add(std::make_unique<TPrintPageElementUserText>());
  };
  TPageTemplate& first = *project.FirstTemplate();
  for (int i = 0; i < 2; ++i) picture(first);
  for (int id = 2; id <= 4; ++id) {
    auto page = std::make_unique<TPrintWizardPageTemplate>();
    if (id == 2) {
      text(*page);
      picture(*page);
      text(*page);
      page->Properties().SetSide(kPageSideEven);
    } else if (id == 3) {
      page->Properties().SetSide(kPageSideOdd);
    } else {
      picture(*page);
    }
    project.Templates().Add(std::move(page));
  }
}

}  // namespace nimbra::fuzz
