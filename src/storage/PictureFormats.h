// The picture readers by file extension, and LoadGraphic, which opens a picture by name through a
// file access. The readers themselves register here from the raster library.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

class IFileAccess;
class TStream;

// A decoded picture. Readers raise on data they cannot decode.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// Registers a reader for an extension given without its dot ("jpg"); a later registration of the
// same extension replaces the earlier one.
void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TGraphicFactory factory);
void UnregisterPictureFormat(std::string_view extension);
// The registered extensions, lower case, in registration order.
std::vector<std::string> PictureFormatExtensions();
// The extension of a stored name (file, path or package name), lower case, without its dot.
std::string FileExtension(std::string_view name);

// The picture of a name, or none when the name cannot be opened, no reader takes its extension or
// decoding fails.
std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name);

}  // namespace nimbra
