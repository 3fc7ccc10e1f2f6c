// Saving pages as numbered picture files and reporting what goes wrong on the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "RenderTestSupport.h"
#include "TempFolder.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/PictureFormatRegistration.h"
#include "render/PrintWizardPictureEngine.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

using test::RecordOf;
using test::TempFolder;
using test::TTestFillElement;
using test::TTestFullElement;
using test::TTestProject;
using test::TTestShow;

constexpr TColor32 kBackground = Color32(30, 50, 80);

class PictureEngineSaveTest : public test::TRenderTest {
 protected:
  PictureEngineSaveTest() {
    bag_.SetWidth(48);
    bag_.SetHeight(32);
    bag_.SetOutputDirectory(folder_.File("Seiten"));
    engine_.SetProperties(&bag_);
    engine_.SetErrorCounter(&errors_);
  }

  // The picture of a file as the album would read it.
  std::unique_ptr<TBitmap32> ReadBack(const std::string& name) {
    TFileAccess access;
    std::unique_ptr<TGraphic> graphic = LoadGraphic(access, name, TDecodeHint{});
    auto* bitmap = dynamic_cast<TBitmap32Graphic*>(graphic.get());
    if (bitmap == nullptr) return nullptr;
    return std::make_unique<TBitmap32>(std::move(bitmap->Bitmap()));
  }

  std::vector<std::string> Texts(const TErrorList& list) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list.Count(); ++i) {
      texts.push_back(std::to_string(list.Items(i).ErrorNr) + " " + list.Items(i).Text);
    }
    return texts;
  }

  // The engine holds a counted reference to the slideshow's tree, so the show must outlive it.
  TTestShow& MakeShow(int pictures) {
    show_ = std::make_unique<TTestShow>(pictures);
    return *show_;
  }

  TempFolder folder_;
  TPrintWizardPictureEngineProperties bag_;
  TErrorCounter errors_;
  std::unique_ptr<TTestShow> show_;
  TPrintWizardPictureEngine engine_;
};

TEST_F(PictureEngineSaveTest, FileNamesCarryTheFolderPrefixNumberAndExtension) {
  bag_.SetFormat(TJpegFormatWriter::StaticClass());
  engine_.SetPageNumber(12);
  struct Case {
    std::string folder, prefix;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{
           {"/srv/seiten", "Bild", "/srv/seiten/Bild00012.jpg"},
           {"/srv/seiten/", "Bild", "/srv/seiten/Bild00012.jpg"},
           {"", "Bild", "Bild00012.jpg"},
           // folders written on Windows
           {"ausgabe\\seiten\\", "Bild", "ausgabe/seiten/Bild00012.jpg"},
           // a dot in the prefix does not cost the page its number
           {"/srv", "Bild.v2", "/srv/Bild.v200012.jpg"},
       }) {
    bag_.SetOutputDirectory(c.folder);
    bag_.SetFileNamePrefix(c.prefix);
    EXPECT_EQ(engine_.PageFileName(), c.expected);
  }
  engine_.SetPageNumber(123456);
  EXPECT_EQ(engine_.PageFileName(), "/srv/Bild.v2123456.jpg");
  bag_.SetFormat(TPngFormatWriter::StaticClass());
  engine_.SetPageNumber(7);
  EXPECT_EQ(engine_.PageFileName(), "/srv/Bild.v200007.png");
  bag_.FreeFormat();
  EXPECT_EQ(engine_.PageFileName(), "/srv/Bild.v200007");
}

TEST_F(PictureEngineSaveTest, EveryPageOfARunBecomesAFileThatReadsBack) {
  TTestShow& show = MakeShow(3);
  TTestProject project(kBackground);
  project.Add<TTestFullElement>(TDoubleRect{0, 0, 0.5, 0.5}).SetColor(Color32(255, 0, 0));
  project.Add<TTestFillElement>(TDoubleRect{0.5, 0.5, 1, 1}).SetColor(Color32(0, 255, 0, 255));
  engine_.SetProject(&project.Project());
  engine_.SetSlideShowTree(show.Tree());
  const std::unique_ptr<TBitmap32> page = engine_.RenderToBitmap(*RecordOf(project.Template()));
  ASSERT_NE(page, nullptr);

  for (const auto* format : PictureFormatWriterClasses()) {
    bag_.SetFormat(*format);
    engine_.RenderAll();
    const std::string extension = bag_.PictureFormat()->DefaultExtension();
    for (const std::string number : {"00001", "00002", "00003"}) {
      const std::string name = folder_.File("Seiten/Bild" + number + "." + extension);
      const std::unique_ptr<TBitmap32> saved = ReadBack(name);
      ASSERT_NE(saved, nullptr) << name;
      ASSERT_EQ(saved->Width(), 48);
      ASSERT_EQ(saved->Height(), 32);
      if (extension != "jpg") {
        EXPECT_EQ(*saved, *page) << name;
        continue;
      }
      // JPEG keeps colours close, away from the edges between them.
      for (const auto& [x, y] : {std::pair{5, 5}, std::pair{40, 28}, std::pair{40, 5}}) {
        const TColor32 a = saved->Pixel(x, y), b = page->Pixel(x, y);
        EXPECT_NEAR(RedComponent(a), RedComponent(b), 6) << name << " " << x;
        EXPECT_NEAR(GreenComponent(a), GreenComponent(b), 6) << name << " " << x;
        EXPECT_NEAR(BlueComponent(a), BlueComponent(b), 6) << name << " " << x;
      }
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.File("Seiten/Bild00004." + extension)));
  }
  EXPECT_EQ(errors_.HintCount(), 0);
  EXPECT_EQ(errors_.CriticalCount(), 0);

  // Saving again over the same files is worth a hint each, not an error.
  bag_.SetFormat(TPngFormatWriter::StaticClass());
  engine_.RenderAll();
  const std::string first = folder_.File("Seiten/Bild00001.png");
  ASSERT_EQ(errors_.HintCount(), 3);
  EXPECT_EQ(Texts(errors_.Hints())[0],
            "-1 Die Datei \"" + first + "\" existiert bereits, sie wird überschrieben.");
  EXPECT_EQ(errors_.CriticalCount(), 0);
}

TEST_F(PictureEngineSaveTest, AFolderThatCannotBeMadeIsReportedAndNotRaised) {
  TTestProject project(kBackground);
  const std::string blocker = folder_.Write("blocker", "a file where a folder should be");
  bag_.SetOutputDirectory(blocker + "/Seiten/");
  bag_.SetFormat(TBmpFormatWriter::StaticClass());
  engine_.SetPageNumber(4);
  engine_.RenderPage(*RecordOf(project.Template()));
  EXPECT_EQ(Texts(errors_.CriticalErrors()),
            (std::vector<std::string>{
                "202 Das Verzeichnis \"" + blocker + "/Seiten\" kann nicht erstellt werden.",
                "1001 Die Datei \"" + blocker +
                    "/Seiten/Bild00004.bmp\" kann nicht gespeichert werden."}));

  // Without a format nothing can be written either.
  bag_.SetOutputDirectory(folder_.File("Seiten"));
  bag_.FreeFormat();
  engine_.RenderPage(*RecordOf(project.Template()));
  ASSERT_EQ(errors_.CriticalCount(), 3);
  EXPECT_EQ(Texts(errors_.CriticalErrors())[2],
            "1001 Die Datei \"" + folder_.File("Seiten/Bild00004") +
                "\" kann nicht gespeichert werden.");
  EXPECT_EQ(engine_.PageBitmap(), nullptr);
}

}  // namespace
}  // namespace nimbra
