// The closed vendor codec libraries an album may carry in its package ("lwf_jp2.dll" for
// JPEG 2000, "lwf215p.dll" for LuraWave), loaded at run time from the folder they were extracted
// to, with their entry points bound by name. JPEG 2000 pictures are read by OpenJPEG whether or
// not the vendor library is loaded.
//
// One process-wide instance of each library, loaded and unloaded by the main thread at start and
// end; the render thread only reads the bindings.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

// The entry points' signatures belong to the vendor; callers cast a binding to the one they use.
using TVendorProc = void (*)();

inline constexpr std::string_view kJpeg2000LibraryName = "lwf_jp2.dll";
inline constexpr std::string_view kLuraWaveLibraryName = "lwf215p.dll";

// Each binding is empty when the library does not export that name.
struct TJpeg2000Library {
  TVendorProc JP2_Compress_Start = nullptr;
  TVendorProc JP2_Compress_SetProp = nullptr;
  TVendorProc JP2_Compress_SetPrecinct = nullptr;
  TVendorProc JP2_Compress_SetResolution = nullptr;
  TVendorProc JP2_Compress_GetProp = nullptr;
  TVendorProc JP2_Compress_SetROI = nullptr;
  TVendorProc JP2_Compress_SetROI_Enhance = nullptr;
  TVendorProc JP2_Compress_Image = nullptr;
  TVendorProc JP2_Compress_End = nullptr;
  TVendorProc JP2_Decompress_Start = nullptr;
  TVendorProc JP2_Decompress_SetProp = nullptr;
  TVendorProc JP2_Decompress_GetProp = nullptr;
  TVendorProc JP2_Decompress_GetPrecinct = nullptr;
  TVendorProc JP2_Decompress_GetInformation = nullptr;
  TVendorProc JP2_Decompress_GetResolution = nullptr;
  TVendorProc JP2_Decompress_Image = nullptr;
  TVendorProc JP2_Decompress_End = nullptr;
};

struct TLuraWaveLibrary {
  TVendorProc LwfGetCompMemoryRequirements = nullptr;
  TVendorProc LwfCompressLuRaImage = nullptr;
  TVendorProc LwfGetDecoHeaderMemoryRequirements = nullptr;
  TVendorProc LwfGetImageInfo = nullptr;
  TVendorProc LwfGetDecoMemoryRequirements = nullptr;
  TVendorProc LwfDecompressLuRaImage = nullptr;
  TVendorProc LwfGetErrorText = nullptr;
  TVendorProc LwfGetVersionInfo = nullptr;
};

// Loads the library of that name from folder (which ends with a separator; "\" counts as "/")
// and binds its entry points; a library loaded before is unloaded first. False when the file
// cannot be loaded, or when binding fails: then the library is unloaded again. A library that
// exports none of the entry points is no codec library, and binding it fails.
bool LoadJpeg2000Library(std::string_view folder);
bool LoadLuraWaveLibrary(std::string_view folder);
// Unloads the library; its bindings become empty. Nothing happens when none is loaded.
void UnloadJpeg2000Library();
void UnloadLuraWaveLibrary();

// The bindings of the loaded library, or none while none is loaded.
const TJpeg2000Library* Jpeg2000Library();
const TLuraWaveLibrary* LuraWaveLibrary();

}  // namespace nimbra
