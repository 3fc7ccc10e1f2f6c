// The size of a picture as it is shown, which its header tells without decoding it.
#pragma once

namespace nimbra {

struct TPictureSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TPictureSize&) const = default;
};

}  // namespace nimbra
