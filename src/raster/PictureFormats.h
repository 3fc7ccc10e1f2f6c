// The one list of picture formats by file extension, and LoadGraphic, which opens a picture by name
// through a file access. A format is registered with its reader, which reads a picture's header
// and then its pixels into a 32-bit bitmap (the raster library's readers register so), or with a
// picture class of its own that loads itself.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "raster/DecodeHint.h"
#include "raster/PictureReader.h"
#include "raster/PictureSignatures.h"

namespace nimbra {

class IFileAccess;

// A decoded picture. Readers raise on data they cannot decode.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TPictureFormat {
  std::string Extension;  // lower case, without the dot
  std::string Description;
  // Reads the format's pictures in two steps into 32-bit bitmaps; none for a format registered
  // with a picture class.
  TPictureReaderOpener OpenReader = nullptr;
  TGraphicFactory CreateGraphic;
  // Recognises the format's files by their first bytes; none for formats known by name alone.
  TPictureSignatureTest Signature = nullptr;

  // A new picture of the format, which loads itself from a stream; a picture read by the format's
  // reader is decoded with the hint.
  std::unique_ptr<TGraphic> NewGraphic(const TDecodeHint& hint = {}) const;
};

// Registers a format for an extension given without its dot ("jpg"); a later registration of the
// same extension replaces the earlier one.
void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TPictureReaderOpener openReader,
                           TPictureSignatureTest signature = nullptr);
void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TGraphicFactory factory);
void UnregisterPictureFormat(std::string_view extension);
// The registered extensions, lower case, in registration order.
std::vector<std::string> PictureFormatExtensions();
// The format registered for an extension (any case, without the dot); none when there is none.
std::optional<TPictureFormat> FindPictureFormat(std::string_view extension);
// The reader for a file of the extension whose stream stands at its first byte (and is left
// there): the reader of the first format registered with a reader whose signature the bytes
// carry, else the extension's reader when its format has no signature. Raises
// EFormatNotSupported when there is neither.
TPictureReaderOpener ChoosePictureReader(std::string_view extension, TStream& stream);
// The extension of a stored name (file, path or package name), lower case, without its dot.
std::string FileExtension(std::string_view name);

// The picture of a name, or none when the name cannot be opened, no format is known for it
// (a picture class registered for its extension, else ChoosePictureReader) or decoding fails.
// With a hint, a format's reader decodes at the reduced size the hint allows (see
// TPictureReader::Decode); pictures of a picture class load at full size.
std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name);
std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name,
                                      const TDecodeHint& hint);

}  // namespace nimbra
