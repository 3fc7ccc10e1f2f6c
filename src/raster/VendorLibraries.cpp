#include "raster/VendorLibraries.h"

#include <dlfcn.h>

#include <algorithm>
#include <span>

namespace nimbra {

namespace {

template <typename TBindings>
struct TEntryPoint {
  const char* name;
  TVendorProc TBindings::*binding;
};

#define NIMBRA_ENTRY(Library, Name) \
  TEntryPoint<Library> {            \
#Name, &Library::Name           \
  }

constexpr TEntryPoint<TJpeg2000Library> kJpeg2000EntryPoints[] = {
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_Start),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_SetProp),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_SetPrecinct),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_SetResolution),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_GetProp),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_SetROI),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_SetROI_Enhance),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_Image),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Compress_End),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_Start),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_SetProp),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_GetProp),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_GetPrecinct),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_GetInformation),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_GetResolution),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_Image),
    NIMBRA_ENTRY(TJpeg2000Library, JP2_Decompress_End),
};

constexpr TEntryPoint<TLuraWaveLibrary> kLuraWaveEntryPoints[] = {
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetCompMemoryRequirements),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfCompressLuRaImage),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetDecoHeaderMemoryRequirements),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetImageInfo),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetDecoMemoryRequirements),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfDecompressLuRaImage),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetErrorText),
    NIMBRA_ENTRY(TLuraWaveLibrary, LwfGetVersionInfo),
};

#undef NIMBRA_ENTRY

// Stored folder names come from Windows: "\" separates folders there.
std::string LibraryPath(std::string_view folder, std::string_view fileName) {
  std::string path(folder);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (!path.empty() && path.back() != '/') path += '/';
  return path.append(fileName);
}

template <typename TBindings>
class TVendorLibrary {
 public:
  bool Load(std::string_view folder, std::string_view fileName,
            std::span<const TEntryPoint<TBindings>> entryPoints) {
    Unload();
    const std::string path = LibraryPath(folder, fileName);
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) return false;
    bool bound = false;
    for (const TEntryPoint<TBindings>& entry : entryPoints) {
      void* symbol = ::dlsym(handle_, entry.name);
      bindings_.*entry.binding = reinterpret_cast<TVendorProc>(symbol);
      bound = bound || symbol != nullptr;
    }
    if (!bound) Unload();
    return bound;
  }

  void Unload() {
    bindings_ = TBindings{};
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = nullptr;
  }

  const TBindings* Bindings() const { return handle_ != nullptr ? &bindings_ : nullptr; }

 private:
  void* handle_ = nullptr;
  TBindings bindings_;
};

TVendorLibrary<TJpeg2000Library>& Jpeg2000() {
  static TVendorLibrary<TJpeg2000Library> library;
  return library;
}

TVendorLibrary<TLuraWaveLibrary>& LuraWave() {
  static TVendorLibrary<TLuraWaveLibrary> library;
  return library;
}

}  // namespace

bool LoadJpeg2000Library(std::string_view folder) {
  return Jpeg2000().Load(folder, kJpeg2000LibraryName, kJpeg2000EntryPoints);
}

bool LoadLuraWaveLibrary(std::string_view folder) {
  return LuraWave().Load(folder, kLuraWaveLibraryName, kLuraWaveEntryPoints);
}

void UnloadJpeg2000Library() {
  Jpeg2000().Unload();
}

void UnloadLuraWaveLibrary() {
  LuraWave().Unload();
}

const TJpeg2000Library* Jpeg2000Library() {
  return Jpeg2000().Bindings();
}

const TLuraWaveLibrary* LuraWaveLibrary() {
  return LuraWave().Bindings();
}

}  // namespace nimbra
