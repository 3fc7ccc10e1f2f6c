// Pictures of a page decoded before the page is composed, so that the pictures of several
// elements can be decoded at once on other threads. An element that draws a picture from a file
// says which file and how it is drawn (IPictureDecodeAhead); the engine has the pictures decoded
// and hands them over in the render context, and each element takes its own when it draws. The
// decode is the one the element makes itself, so the page comes out the same either way.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "elements/PictureDecodeSize.h"
#include "framework/Interface.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class TPageElement;
struct TRenderContext;

// A picture file and how the element draws it, which decides the size it is decoded at.
struct TPictureDecodeRequest {
  std::string FileName;
  TPictureDrawing Drawing;
};

// The picture of a request, decoded through the process-wide file access; none when it cannot be
// opened or decoded. Safe on any thread.
std::unique_ptr<TBitmap32> DecodePicture(const TPictureDecodeRequest& request);

class IPictureDecodeAhead : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{6B1E3F0A-52C4-4D8E-9A37-0E5C2B7D4F19}";

  // The picture the element will decode when it draws for the context, or none (nothing to
  // decode, or not from a file by itself). Asked on the drawing thread.
  virtual std::optional<TPictureDecodeRequest> DecodeRequest(
      const TRenderContext& context) const = 0;
};

// The decoded pictures of one page, by element. Filled from several threads, then read by the
// drawing thread alone.
class TDecodedPictures {
 public:
  void Put(const TPageElement* element, std::unique_ptr<TBitmap32> picture);
  // The element's picture, handed over once; none when none was decoded for it (the element then
  // decodes it itself).
  std::unique_ptr<TBitmap32> Take(const TPageElement* element);

 private:
  std::mutex mutex_;
  std::unordered_map<const TPageElement*, std::unique_ptr<TBitmap32>> pictures_;
};

}  // namespace nimbra
