#include "raster/PictureFormats.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <span>

#include "raster/Bitmap32Graphic.h"
#include "raster/CodecError.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"
#include "storage/Stream.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

struct TPictureFormatList {
  std::mutex mutex;
  std::vector<TPictureFormat> formats;
};

TPictureFormatList& Formats() {
  static TPictureFormatList list;
  return list;
}

void Register(TPictureFormat format) {
  TPictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  for (TPictureFormat& registered : list.formats) {
    if (registered.Extension == format.Extension) {
      registered = std::move(format);
      return;
    }
  }
  list.formats.push_back(std::move(format));
}

}  // namespace

std::unique_ptr<TGraphic> TPictureFormat::NewGraphic(const TDecodeHint& hint) const {
  if (OpenReader == nullptr) return CreateGraphic();
  auto graphic = std::make_unique<TBitmap32Graphic>(OpenReader);
  graphic->SetDecodeHint(hint);
  return graphic;
}

void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TPictureReaderOpener openReader, TPictureSignatureTest signature) {
  Register({LowerCase(extension), std::string(description), openReader, nullptr, signature});
}

void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TGraphicFactory factory) {
  Register({LowerCase(extension), std::string(description), nullptr, std::move(factory)});
}

void UnregisterPictureFormat(std::string_view extension) {
  const std::string key = LowerCase(extension);
  TPictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  std::erase_if(list.formats,
                [&](const TPictureFormat& format) { return format.Extension == key; });
}

std::vector<std::string> PictureFormatExtensions() {
  TPictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  std::vector<std::string> extensions;
  for (const TPictureFormat& format : list.formats) extensions.push_back(format.Extension);
  return extensions;
}

std::optional<TPictureFormat> FindPictureFormat(std::string_view extension) {
  const std::string key = LowerCase(extension);
  TPictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  for (const TPictureFormat& format : list.formats) {
    if (format.Extension == key) return format;
  }
  return std::nullopt;
}

TPictureReaderOpener ChoosePictureReader(std::string_view extension, TStream& stream) {
  uint8_t head[kPictureSignatureBytes] = {};
  const int64_t start = stream.Position();
  const auto length = static_cast<size_t>(std::max<int64_t>(stream.Read(head, sizeof head), 0));
  stream.SetPosition(start);
  const std::span<const uint8_t> bytes(head, length);
  const std::string key = LowerCase(extension);
  TPictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  for (const TPictureFormat& format : list.formats) {
    if (format.OpenReader && format.Signature && format.Signature(bytes)) return format.OpenReader;
  }
  for (const TPictureFormat& format : list.formats) {
    if (format.Extension == key && format.OpenReader && !format.Signature) return format.OpenReader;
  }
  throw EFormatNotSupported();
}

std::string FileExtension(std::string_view name) {
  const size_t part = name.find_last_of("\\/|");
  if (part != std::string_view::npos) name.remove_prefix(part + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return LowerCase(name.substr(dot + 1));
}

std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name) {
  return LoadGraphic(access, name, {});
}

std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name,
                                      const TDecodeHint& hint) {
  const std::string extension = FileExtension(name);
  const std::optional<TPictureFormat> format = FindPictureFormat(extension);
  try {
    const std::unique_ptr<TStream> stream = access.OpenFile(name);
    if (!stream) return nullptr;
    std::unique_ptr<TGraphic> graphic;
    if (format && !format->OpenReader) {
      graphic = format->NewGraphic();
    } else {
      auto picture = std::make_unique<TBitmap32Graphic>(ChoosePictureReader(extension, *stream));
      picture->SetDecodeHint(hint);
      graphic = std::move(picture);
    }
    graphic->LoadFromStream(*stream);
    return graphic;
  } catch (const ENimbraError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace nimbra
