#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "raster/VendorLibraries.h"

namespace nimbra {
namespace {

using test::TempFolder;
using TIntProc = int (*)();

int Call(TVendorProc proc) {
  return reinterpret_cast<TIntProc>(proc)();
}

// The folder as the album hands it over: with a trailing backslash, as stored names have it.
std::string WindowsStyle(const TempFolder& folder) {
  return folder.Path().string() + "\\";
}

// A new file each time: overwriting a library that is still mapped would change it under the
// loader's feet.
void Install(const char* library, const TempFolder& folder, std::string_view name) {
  std::filesystem::remove(folder.Path() / name);
  std::filesystem::copy_file(library, folder.Path() / name);
}

class VendorLibrariesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    UnloadJpeg2000Library();
    UnloadLuraWaveLibrary();
  }
  TempFolder folder_;
};

TEST_F(VendorLibrariesTest, AMissingOrForeignFileLoadsNothing) {
  EXPECT_FALSE(LoadJpeg2000Library(WindowsStyle(folder_)));
  EXPECT_EQ(Jpeg2000Library(), nullptr);
  folder_.Write(std::string(kLuraWaveLibraryName), "MZ not a shared object");
  EXPECT_FALSE(LoadLuraWaveLibrary(folder_.Path().string() + "/"));
  EXPECT_EQ(LuraWaveLibrary(), nullptr);
}

TEST_F(VendorLibrariesTest, BindsTheEntryPointsTheLibraryHasAndLeavesTheOthersEmpty) {
  Install(NIMBRA_FAKE_JPEG2000_LIBRARY, folder_, kJpeg2000LibraryName);
  ASSERT_TRUE(LoadJpeg2000Library(WindowsStyle(folder_)));
  const TJpeg2000Library* library = Jpeg2000Library();
  ASSERT_NE(library, nullptr);
  ASSERT_NE(library->JP2_Decompress_Start, nullptr);
  EXPECT_EQ(Call(library->JP2_Decompress_Start), 21);
  EXPECT_EQ(Call(library->JP2_Decompress_End), 22);
  EXPECT_EQ(Call(library->JP2_Compress_SetROI_Enhance), 23);
  EXPECT_EQ(library->JP2_Compress_SetROI, nullptr);
  EXPECT_EQ(library->JP2_Compress_Start, nullptr);
  EXPECT_EQ(library->JP2_Decompress_Image, nullptr);

  // Loading again replaces the library; unloading empties every binding.
  ASSERT_TRUE(LoadJpeg2000Library(folder_.Path().string()));
  EXPECT_EQ(Call(Jpeg2000Library()->JP2_Decompress_Start), 21);
  UnloadJpeg2000Library();
  EXPECT_EQ(Jpeg2000Library(), nullptr);
  UnloadJpeg2000Library();
}

TEST_F(VendorLibrariesTest, EachLibraryIsLoadedByItsOwnNameAndNeedsItsOwnEntryPoints) {
  Install(NIMBRA_FAKE_LURAWAVE_LIBRARY, folder_, kLuraWaveLibraryName);
  EXPECT_FALSE(LoadJpeg2000Library(WindowsStyle(folder_)));
  ASSERT_TRUE(LoadLuraWaveLibrary(WindowsStyle(folder_)));
  EXPECT_EQ(Call(LuraWaveLibrary()->LwfGetVersionInfo), 215);
  EXPECT_EQ(LuraWaveLibrary()->LwfDecompressLuRaImage, nullptr);

  // The JPEG 2000 library under the LuraWave name exports none of LuraWave's names: binding
  // fails, and the library loaded before is gone as well.
  Install(NIMBRA_FAKE_JPEG2000_LIBRARY, folder_, kLuraWaveLibraryName);
  EXPECT_FALSE(LoadLuraWaveLibrary(WindowsStyle(folder_)));
  EXPECT_EQ(LuraWaveLibrary(), nullptr);
}

}  // namespace
}  // namespace nimbra
