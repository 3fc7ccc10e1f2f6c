// libFuzzer target for drawing a decoded picture into a box, in the steps the picture element takes
// when it renders: the reader the header chooses decodes the file with the hint the element would
// give, the working copy is made, and the copy is fitted and turned into the box with the header's
// angle, fit mode and aspect flag (PictureBoxFuzzInput.h), for a target three boxes wide and high.
// The decoding promises are those of PictureFuzzPromises.h; each step's result must have the size
// it documents.
#include <span>

#include "PictureBoxFuzzInput.h"
#include "PictureFuzzPromises.h"
#include "elements/FitRect.h"
#include "elements/PictureDecodeSize.h"
#include "elements/PictureGeometry.h"
#include "raster/PictureFormatRegistration.h"

namespace nimbra::fuzz {

namespace {

// Twice the box the picture's proportions fit for the working copy of rendering, that box itself
// for the design view.
TDecodeHint HintFor(const TPictureBoxHeader& header, const TPictureSize& shown) {
  return FittedDecodeHint(shown, header.BoxWidth, header.BoxHeight, header.Preview ? 1 : 2);
}

bool SizeIs(const TBitmap32& bitmap, int width, int height) {
  return bitmap.Width() == width && bitmap.Height() == height;
}

// The box's element drawn centred on a target three boxes wide and high.
TPictureReach ReachOnTarget(const TPictureBoxHeader& header) {
  return {header.BoxWidth * 3 / 2 + 1, header.BoxHeight * 3 / 2 + 1};
}

// What FitAndTurn promises about its output's size.
void CheckOutput(const TPictureBoxHeader& header, const TBitmap32& working, float angle,
                 const TBitmap32& output) {
  const int boxWidth = header.BoxWidth;
  const int boxHeight = header.BoxHeight;
  if (angle == 0) {
    const TPixelRect fitted =
        FitRect(working.Width(), working.Height(), {0, 0, boxWidth, boxHeight});
    Expect(header.KeepAspect ? SizeIs(output, fitted.Width(), fitted.Height())
                             : SizeIs(output, boxWidth, boxHeight));
    return;
  }
  switch (header.FitMode) {
    case 0:
      Expect(SizeIs(output, boxWidth, boxHeight));
      break;
    case 1:
      Expect(output.Width() <= boxWidth && output.Height() <= boxHeight);
      break;
    // Scaled as if unturned with its aspect, the turned picture reaches at most the box's width
    // plus its height; without, it is sheared, and only the reach bounds it.
    case 2:
      if (header.KeepAspect) {
        Expect(output.Width() <= boxWidth + boxHeight + 1 &&
               output.Height() <= boxWidth + boxHeight + 1);
      }
      Expect(output.Width() <= 2 * ReachOnTarget(header).Width + 1 &&
             output.Height() <= 2 * ReachOnTarget(header).Height + 1);
      break;
    default:
      Expect(output.Empty());
  }
}

void Draw(const TPictureBoxHeader& header, TBitmap32& picture) {
  const int width = picture.Width();
  const int height = picture.Height();
  const TPixelRect fitted = FitRect(width, height, {0, 0, header.BoxWidth, header.BoxHeight});
  const bool rendering = !header.Preview && header.HasEffects;
  const bool reduces =
      rendering && ReducesToWorkingCopy(width, height, fitted.Width(), fitted.Height());
  TBitmap32 working = MakeWorkingCopy(picture, fitted.Width(), fitted.Height(), rendering);
  Expect(picture.Empty());
  Expect(reduces ? SizeIs(working, 2 * fitted.Width(), 2 * fitted.Height())
                 : SizeIs(working, width, height));

  float angle = header.Angle;
  if (angle == 0 && header.AutoRotate &&
      TurningFillsBetter(working.Width(), working.Height(), header.BoxWidth, header.BoxHeight)) {
    angle = 90;
  }
  const TResamplingFilter filter = PictureFilter(working.Width(), working.Height(), header.BoxWidth,
                                                 header.BoxHeight, header.Preview);
  TBitmap32 output;
  FitAndTurn(working, output, header.BoxWidth, header.BoxHeight, header.KeepAspect, angle,
             header.FitMode, filter, ReachOnTarget(header));
  CheckOutput(header, working, angle, output);
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  using namespace nimbra::fuzz;
  if (size < kPictureBoxHeaderSize) return 0;
  const TPictureBoxHeader header = TPictureBoxHeader::Read(data);
  data += kPictureBoxHeaderSize;
  size -= kPictureBoxHeaderSize;

  const std::span<const TPictureReaderInfo> readers = PictureReaders();
  TBitmap32 picture = DecodeAndCheck(
      readers[header.Reader % readers.size()].Open,
      [&](const TPictureSize& shown) { return HintFor(header, shown); }, data, size);
  if (picture.Empty()) return 0;
  Draw(header, picture);
  return 0;
}
