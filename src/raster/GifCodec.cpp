#include "raster/GifCodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// An LZW code of at most 12 bits stands for at most 4096 pixels: 341 pixels per bit.
constexpr int64_t kMaxPixelsPerByte = 4096 * 8 / 12;

int ReadFromStream(GifFileType* gif, GifByteType* buffer, int length) {
  auto* stream = static_cast<TStream*>(gif->UserData);
  try {
    return static_cast<int>(std::max<int64_t>(stream->Read(buffer, length), 0));
  } catch (const std::exception&) {
    return 0;
  }
}

[[noreturn]] void Fail(int error) {
  const char* text = GifErrorString(error);
  throw ECodecError(std::string("GIF: ") + (text ? text : "cannot decode"));
}

struct TGifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// Reads the records before the first frame; yields the frame's transparent colour index, or
// NO_TRANSPARENT_COLOR. Raises when the file ends without a frame.
int ReadUpToFirstFrame(GifFileType* gif) {
  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) Fail(gif->Error);
    if (type == IMAGE_DESC_RECORD_TYPE) return transparent;
    if (type == TERMINATE_RECORD_TYPE) throw ECodecError("GIF: no picture");
    if (type != EXTENSION_RECORD_TYPE) continue;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) Fail(gif->Error);
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr) {
      GraphicsControlBlock control{};
      if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
        transparent = control.TransparentColor;
      }
    }
    while (block != nullptr) {
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) Fail(gif->Error);
    }
  }
}

std::array<TColor32, 256> Palette(const ColorMapObject& map, int transparent) {
  // Indices the colour table does not reach show black, as most viewers draw them.
  std::array<TColor32, 256> palette;
  palette.fill(kColor32Black);
  const int count = std::clamp(map.ColorCount, 0, 256);
  for (int i = 0; i < count; ++i) {
    const GifColorType& c = map.Colors[i];
    palette[static_cast<size_t>(i)] = Color32(c.Red, c.Green, c.Blue);
  }
  if (transparent >= 0 && transparent < 256) {
    palette[static_cast<size_t>(transparent)] &= 0x00FFFFFFu;
  }
  return palette;
}

// The order in which an interlaced frame's rows arrive: four passes over every 8th, 8th, 4th
// and 2nd row.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  constexpr int kStart[] = {0, 4, 2, 1};
  constexpr int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

struct TFrame {
  std::unique_ptr<GifFileType, TGifCloser> gif;
  int transparent = NO_TRANSPARENT_COLOR;
  // The logical screen, widened by a frame that reaches beyond it.
  TPictureSize size;
};

// Reads up to the first frame's descriptor and refuses what decoding would refuse before it
// reads the frame's pixels.
TFrame OpenFrame(TStream& stream) {
  const int64_t fileBytes = stream.Remaining();
  int error = 0;
  TFrame frame;
  frame.gif.reset(DGifOpen(&stream, ReadFromStream, &error));
  if (!frame.gif) Fail(error);
  GifFileType* gif = frame.gif.get();
  frame.transparent = ReadUpToFirstFrame(gif);
  if (DGifGetImageDesc(gif) == GIF_ERROR) Fail(gif->Error);
  const GifImageDesc& image = gif->Image;
  CheckPictureSize("GIF", image.Width, image.Height, fileBytes, kMaxPixelsPerByte);
  if (image.Left < 0 || image.Top < 0) throw ECodecError("GIF: frame outside the screen");
  // A frame reaching beyond the logical screen widens it instead of being cut.
  const int64_t width = std::max<int64_t>(gif->SWidth, int64_t{image.Left} + image.Width);
  const int64_t height = std::max<int64_t>(gif->SHeight, int64_t{image.Top} + image.Height);
  CheckPictureSize("GIF", width, height, fileBytes, kMaxPixelsPerByte);
  CheckWholePictureSize(width, height);
  if (image.ColorMap == nullptr && gif->SColorMap == nullptr) {
    throw ECodecError("GIF: no colour table");
  }
  frame.size = {static_cast<int>(width), static_cast<int>(height)};
  return frame;
}

class TGifReader final : public TPictureReader {
 public:
  explicit TGifReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    opened_ = OpenFrame(Stream());
    return opened_.size;
  }

  TBitmap32 DecodePixels(const TDecodeHint& /*hint*/) override {
    GifFileType* gif = opened_.gif.get();
    const GifImageDesc& frame = gif->Image;
    const std::array<TColor32, 256> palette =
        Palette(frame.ColorMap ? *frame.ColorMap : *gif->SColorMap, opened_.transparent);

    TBitmap32 decoded(opened_.size.Width, opened_.size.Height);
    std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
    for (const int row : RowOrder(frame.Height, frame.Interlace)) {
      if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) Fail(gif->Error);
      TColor32* out = decoded.ScanLine(frame.Top + row) + frame.Left;
      for (size_t x = 0; x < line.size(); ++x) out[x] = palette[line[x]];
    }
    return decoded;
  }

 private:
  TFrame opened_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenGifReader(TStream& stream) {
  return std::make_unique<TGifReader>(stream);
}

}  // namespace nimbra
