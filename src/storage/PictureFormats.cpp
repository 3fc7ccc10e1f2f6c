#include "storage/PictureFormats.h"

#include <algorithm>
#include <exception>
#include <mutex>

#include "storage/FileAccess.h"
#include "storage/Stream.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

struct PictureFormat {
  std::string extension;
  std::string description;
  TGraphicFactory factory;
};

struct PictureFormatList {
  std::mutex mutex;
  std::vector<PictureFormat> formats;
};

PictureFormatList& Formats() {
  static PictureFormatList list;
  return list;
}

TGraphicFactory FindFactory(const std::string& extension) {
  PictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  for (const PictureFormat& format : list.formats) {
    if (format.extension == extension) return format.factory;
  }
  return nullptr;
}

}  // namespace

void RegisterPictureFormat(std::string_view extension, std::string_view description,
                           TGraphicFactory factory) {
  const std::string key = LowerCase(extension);
  PictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  for (PictureFormat& format : list.formats) {
    if (format.extension == key) {
      format = {key, std::string(description), std::move(factory)};
      return;
    }
  }
  list.formats.push_back({key, std::string(description), std::move(factory)});
}

void UnregisterPictureFormat(std::string_view extension) {
  const std::string key = LowerCase(extension);
  PictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  std::erase_if(list.formats, [&](const PictureFormat& format) { return format.extension == key; });
}

std::vector<std::string> PictureFormatExtensions() {
  PictureFormatList& list = Formats();
  std::lock_guard<std::mutex> lock(list.mutex);
  std::vector<std::string> extensions;
  for (const PictureFormat& format : list.formats) extensions.push_back(format.extension);
  return extensions;
}

std::string FileExtension(std::string_view name) {
  const size_t part = name.find_last_of("\\/|");
  if (part != std::string_view::npos) name.remove_prefix(part + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return LowerCase(name.substr(dot + 1));
}

std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name) {
  const TGraphicFactory factory = FindFactory(FileExtension(name));
  if (!factory) return nullptr;
  try {
    std::unique_ptr<TStream> stream = access.OpenFile(name);
    if (!stream) return nullptr;
    std::unique_ptr<TGraphic> graphic = factory();
    graphic->LoadFromStream(*stream);
    return graphic;
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace nimbra
