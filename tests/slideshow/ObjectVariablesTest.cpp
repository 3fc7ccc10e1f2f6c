// The variables texts of a slideshow use, expanded for the objects of a small document: values
// from the object, its document, its file and its picture metadata, and what they give where a
// value cannot be had.
#include <gtest/gtest.h>
#include <utime.h>

#include <string>

#include "JpegTestData.h"
#include "KindsTestSupport.h"
#include "TempFolder.h"
#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowObjectVariables.h"
#include "slideshow/TextSlideShowObject.h"

namespace nimbra {
namespace {

// 17 May 2020, noon UTC: the same day on any local clock.
constexpr time_t kPhotoModified = 1589716800;

template <typename T>
T& Add(TSlideShowObjectList& list) {
  auto object = std::make_unique<T>();
  T& added = *object;
  list.Add(std::move(object));
  return added;
}

class ObjectVariablesTest : public ::testing::Test {
 protected:
  ObjectVariablesTest() {
    RegisterSlideShowObjectVariables(*MainPlugins());
    document_.SetFileName(folder_.File("Urlaub.kvt"));
    // 1: a text; 2: a chapter holding two pictures and a third one with a capture date.
    text_ = &Add<TTextSlideShowObject>(document_.RootList());
    chapter_ = &Add<TContainerSlideShowObject>(document_.RootList());
    chapter_->SetText("Sommer");
    test::TTiffContent blank;
    blank.DateTimeOriginal = "    :  :     :  :  ";
    undated_ = &Picture("ohne.jpg", blank);
    Picture("leer.jpg", {});
    test::TTiffContent dated;
    dated.DateTime = "2020:01:01 08:00:00";
    dated.DateTimeOriginal = "2021:07:14 15:30:05";
    dated.UserComment = test::AsciiUserComment(" Am Strand ");
    dated_ = &Picture("Strand.jpg", dated);
  }
  ~ObjectVariablesTest() override { UnregisterSlideShowObjectVariables(*MainPlugins()); }

  TExtPicSlideShowObject& Picture(const std::string& name, const test::TTiffContent& content) {
    return PictureFile(
        name, test::JpegFile({test::JpegSegment(test::kApp1, test::ExifPayload(content))}));
  }

  TExtPicSlideShowObject& PictureFile(const std::string& name, const std::string& jpeg) {
    const std::string path = folder_.Write(name, jpeg);
    const utimbuf times{kPhotoModified, kPhotoModified};
    utime(path.c_str(), &times);
    auto& picture = Add<TExtPicSlideShowObject>(chapter_->CreateChildren());
    picture.SetFileName("C:\\Bilder\\" + name);
    return picture;
  }

  static std::string Expand(TSlideShowObject* object, const std::string& text) {
    return SubstituteVariables(MainPlugins(), object, text);
  }

  test::TKindsRegistry registry_;
  test::TempFolder folder_;
  TSlideShow document_;
  TTextSlideShowObject* text_ = nullptr;
  TContainerSlideShowObject* chapter_ = nullptr;
  TExtPicSlideShowObject* undated_ = nullptr;
  TExtPicSlideShowObject* dated_ = nullptr;
};

TEST_F(ObjectVariablesTest, ValuesComeFromTheObjectItsDocumentFileAndMetadata) {
  struct TCase {
    const char* Text;
    std::string Expected;
  };
  const TCase cases[] = {
      {"100%%", "100%"},
      {"%FileName% = %filename% = %DATEINAME%", "Strand.jpg = Strand.jpg = Strand.jpg"},
      {"%pfad%", folder_.File("")},
      {"%filedate%", "17.05.2020"},
      {"%position%", "2.3"},
      {"%slideshowtitle%", "Urlaub.kvt"},
      {"%capturedate% %capturetime%", "14.07.2021 15:30:05"},
      {"%captureyear%-%aufnahmemonat%-%captureday% %capturehour%:%captureminute%:%capturesecond%",
       "2021-7-14 15:30:5"},
      {"%exifkommentar%", "Am Strand"},
      {"%EXIFDateTime% / %exifdatetimeoriginal%", "2020:01:01 08:00:00 / 2021:07:14 15:30:05"},
      {"[%EXIFModel%][%IPTCCity%]", "[][]"},  // this picture has neither
      {"%unknownkey% %seitennr%", "%unknownkey% %seitennr%"},
      {"%%text% %%%position%", "%text% %2.3"},
  };
  for (const TCase& test : cases) {
    EXPECT_EQ(Expand(dated_, test.Text), test.Expected) << test.Text;
  }
}

TEST_F(ObjectVariablesTest, ExifAndIptcKeysAnswerFromThePicturesOwnSegments) {
  test::TTiffDirectories tiff;
  tiff.First.push_back({0x0110, 2, 6, std::string("EOS 5\0", 6), {}});  // Model, ASCII
  const std::string cities = test::IptcDataset(2, 90, "Berlin") + test::IptcDataset(2, 90, "Paris");
  const std::string iptc =
      test::IptcPayload({test::PhotoshopResource(test::kIptcResource, "", cities)});
  TExtPicSlideShowObject& picture = PictureFile(
      "Kamera.jpg", test::JpegFile({test::JpegSegment(test::kApp1, test::ExifPayload(tiff)),
                                    test::JpegSegment(0xED, iptc)}));
  EXPECT_EQ(Expand(&picture, "[%EXIFModel%][%iptccity%][%EXIFMake%]"), "[EOS 5][Berlin][]");
}

TEST_F(ObjectVariablesTest, WhatCannotBeHadIsEmptyNeverAMadeUpDate) {
  const std::string captures = "[%capturedate%|%capturetime%|%captureyear%|%captureday%]";
  // A camera that wrote blanks for the date, a picture without a date, an object without a record.
  EXPECT_EQ(Expand(undated_, captures), "[|||]");
  EXPECT_EQ(Expand(chapter_->Children()->Items(1), captures), "[|||]");
  EXPECT_EQ(Expand(chapter_, captures + "[%filename%|%path%|%filedate%|%keywords%]"),
            "[|||][|||]");

  // A file that cannot be found has no name, folder or date.
  dated_->SetFileName("C:\\Bilder\\fehlt.jpg");
  EXPECT_EQ(Expand(dated_, "[%filename%|%path%|%filedate%]"), "[||]");

  // Outside a document there is no title.
  TTextSlideShowObject loose;
  EXPECT_EQ(Expand(&loose, "[%slideshowtitle%|%author%]"), "[|]");
}

TEST_F(ObjectVariablesTest, DocumentValuesAreInsertedLiterally) {
  TSlideShowInfoProperties& info = document_.SlideShowInfoProperties();
  info.SetTitle("50% off");
  info.SetAuthor("%position%");
  info.SetDescription("Bilder");
  info.SetCopyright("(c) 100%%");
  EXPECT_EQ(Expand(dated_, "%slideshowtitle%|%autor%|%beschreibung%|%copyright%"),
            "50% off|%position%|Bilder|(c) 100%%");
}

TEST_F(ObjectVariablesTest, ATextThatNamesItselfStopsAtOneRound) {
  text_->SetText("Hallo %position%, %text%!");
  EXPECT_EQ(Expand(text_, "<%text%>"), "<Hallo 1, %text%!>");
  // A text object has no file.
  EXPECT_EQ(Expand(text_, "[%filename%]"), "[]");
}

TEST_F(ObjectVariablesTest, APhotoInsideAPackageIsKnownByItsStoredNameAlone) {
  TSlideShow packaged;
  packaged.SetFileName("|Urlaub.kvt");
  auto& photo = Add<TExtPicSlideShowObject>(packaged.RootList());
  photo.SetFileName("Fotos\\Strand.jpg");
  EXPECT_EQ(Expand(&photo, "[%filename%|%path%|%filedate%|%slideshowtitle%]"),
            "[Strand.jpg|||Urlaub.kvt]");

  auto& marked = Add<TExtPicSlideShowObject>(document_.RootList());
  marked.SetFileName("album.exe|Fotos/Meer.jpg");
  EXPECT_EQ(Expand(&marked, "[%filename%|%path%|%filedate%]"), "[Meer.jpg||]");
}

TEST_F(ObjectVariablesTest, DateAndTimeAreTodaysForAnyObject) {
  const std::string date = Expand(nullptr, "%datum%");
  ASSERT_EQ(date.size(), 10u);
  EXPECT_EQ(date[2], '.');
  EXPECT_EQ(date[5], '.');
  const std::string time = Expand(nullptr, "%uhrzeit%");
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
  // Object variables wait for an object.
  EXPECT_EQ(Expand(nullptr, "%filename%"), "%filename%");
}

}  // namespace
}  // namespace nimbra
