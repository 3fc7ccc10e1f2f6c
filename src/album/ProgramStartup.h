// The start and end of both programs as one ordered list of units. Each registry lists its
// classes in the order the units start, so the album and nimbra-kit must start them alike; the
// list is undone in reverse. A program runs the list up to the stage it needs.
#pragma once

#include <cstddef>

namespace nimbra {

enum class TStartupStage {
  // Application information, framework, slideshow settings and the document units: enough to
  // read and describe documents and template projects.
  Documents,
  // And fonts, the render unit's classes, the picture readers and the bitmap cache: enough to
  // draw pages.
  Rendering,
};

class TProgramStartup {
 public:
  // Starts every unit up to and including last; when one raises, those started are undone.
  explicit TProgramStartup(TStartupStage last);
  ~TProgramStartup();
  TProgramStartup(const TProgramStartup&) = delete;
  TProgramStartup& operator=(const TProgramStartup&) = delete;

 private:
  size_t started_ = 0;
};

}  // namespace nimbra
