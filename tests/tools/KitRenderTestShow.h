// Documents for the nimbra-kit render tests: a slideshow of named pictures and a project that lays
// one picture on each page over a coloured background.
#pragma once

#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra {
class TPageTemplate;
class TPageTemplateProject;
}  // namespace nimbra

namespace nimbra::test {

// Gives the project a structure that lays the template on one page after the other until the
// slideshow ends.
void RepeatUntilTheShowEnds(TPageTemplateProject& project, TPageTemplate& pageTemplate);

// A slideshow whose picture objects name the given files, in order.
void WriteNamedPictureShow(const std::string& path, const std::vector<std::string>& pictures);

// A slideshow of the first picture and then a chapter holding the others, so that they stand at
// 1, 2.1, 2.2 and so on; the document carries the title (empty: none).
void WriteChapterShow(const std::string& path, const std::string& title, const std::string& chapter,
                      const std::vector<std::string>& pictures);

// A project with one template: the background colour and one picture element over the middle
// half of the page (a quarter of the width and height from each edge), repeated until the
// slideshow ends; randomTurns: the picture is turned by a small random angle on every page.
void WriteOnePictureProject(const std::string& path, TColor32 background,
                            bool randomTurns = false);

// A one-colour PNG picture.
void WriteColourPicture(const std::string& path, int width, int height, TColor32 colour);

}  // namespace nimbra::test
