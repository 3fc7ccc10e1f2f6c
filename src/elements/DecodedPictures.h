// Pictures of a page decoded before the page is composed, so that the pictures of several
// elements can be decoded at once on other threads. An element that draws a picture from a file
// says which file and how it is drawn (IPictureDecodeAhead); the engine has the pictures decoded
// and hands them over in the render context, and each element takes its own when it draws,
// waiting for it when it is not decoded yet. The
// decode is the one the element makes itself, so the page comes out the same either way.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

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

// A decoded picture and the size of the photo it was decoded from (as shown, upright). A picture
// decoded at a reduced size keeps the photo's proportions only to the pixel; what it is fitted
// into a box by are the photo's own, so that the drawn size does not depend on the decode.
struct TDecodedPicture {
  std::unique_ptr<TBitmap32> Picture;
  TPictureSize Shape;
};

// The picture of a request, decoded through the process-wide file access; none when it cannot be
// opened or decoded. Safe on any thread.
TDecodedPicture DecodePicture(const TPictureDecodeRequest& request);

class IPictureDecodeAhead : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{6B1E3F0A-52C4-4D8E-9A37-0E5C2B7D4F19}";

  // The picture the element will decode when it draws for the context, or none (nothing to
  // decode, or not from a file by itself). Asked on the drawing thread.
  virtual std::optional<TPictureDecodeRequest> DecodeRequest(
      const TRenderContext& context) const = 0;
};

// The decoded pictures of one page, by element: filled from the pool's threads while the drawing
// thread takes them in the elements' order, each as soon as it is there. No more than room of them
// are decoded or waiting at a time, which bounds the memory they take.
class TDecodedPictures {
 public:
  explicit TDecodedPictures(size_t room = 1);

  // The element's picture is to be decoded, after those expected before: Take waits for it.
  void Expect(const TPageElement* element);
  // Waits until the pictures expected before the element's have begun and there is room for one
  // more, and takes it; false when the page was abandoned or the element passed over (the picture
  // is then not decoded), or the element was not expected.
  bool BeginDecode(const TPageElement* element);
  // The element's picture, or none when it could not be decoded (decoded: BeginDecode had given
  // it room); ends the wait for it.
  void Put(const TPageElement* element, TDecodedPicture picture, bool decoded);
  // The element's picture, handed over once, after waiting while it is being decoded; none when
  // none was expected or decoded (the element then decodes it itself). The pictures of elements
  // expected before it that were not taken are given up.
  TDecodedPicture Take(const TPageElement* element);
  // Nobody takes pictures any more (the page ended): waiting ends, and no more are decoded.
  void Abandon();

 private:
  struct TEntry {
    const TPageElement* Element = nullptr;
    bool Done = false;
    TDecodedPicture Picture;
  };
  void Release(TEntry& entry);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TEntry> entries_;
  size_t firstWaiting_ = 0;
  size_t nextToBegin_ = 0;
  size_t room_;
  size_t alive_ = 0;
  bool abandoned_ = false;
};

}  // namespace nimbra
