// Slideshow documents for the nimbra-kit pages tests.
#pragma once

#include <string>

namespace nimbra::test {

// A document of picture objects, all at the root or all inside one chapter.
void WritePictureShow(const std::string& path, int pictures, bool startWithChapter = false);

}  // namespace nimbra::test
