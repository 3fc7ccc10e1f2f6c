#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "KitRunner.h"
#include "TempFolder.h"
#include "framework/ExternalPlugins.h"
#include "framework/PropertiesList.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FileStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

// A bag list file with the framework's bag and a bag of a class no program knows.
std::string WriteBagList(const TempFolder& folder) {
  const std::string path = folder.File("settings.lst");
  TFileStream file(path, FileMode::Create);
  TCSFStreamWinTypes stream(file, CSFMode::Create);
  stream.SetFileType(1287);
  stream.SetFileVersion(256);
  TExternalPluginProperties bag;
  bag.SetLines({"/opt/a.pkg\t10\t20", "/opt/b.pkg\t30\t40"});
  for (const char* className : {"TExternalPluginProperties", "TFutureProperties"}) {
    stream.BeginChunk(257);
    stream.WriteString(className);
    stream.BeginSubChunk();
    if (std::string(className) == "TExternalPluginProperties") {
      EXPECT_TRUE(bag.WriteToStream(stream));
    } else {
      stream.WriteInteger(0x01020304);
    }
    stream.EndSubChunk();
    stream.EndChunk();
  }
  stream.Release();
  return path;
}

TEST(KitInspectTest, BagListShowsEveryBagWithItsFields) {
  TempFolder folder;
  const KitResult result = RunKitCommand({"inspect", WriteBagList(folder), "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["fileType"], 1287);
  ASSERT_EQ(json["bags"].size(), 2u);
  EXPECT_EQ(json["bags"][0]["class"], "TExternalPluginProperties");
  EXPECT_EQ(json["bags"][0]["known"], true);
  EXPECT_EQ(json["bags"][0]["fields"]["packages"], "/opt/a.pkg\t10\t20\r\n/opt/b.pkg\t30\t40");
  EXPECT_EQ(json["bags"][1]["class"], "TFutureProperties");
  EXPECT_EQ(json["bags"][1]["known"], false);
  EXPECT_EQ(json["bags"][1]["data"], "04030201");

  const KitResult outline = RunKitCommand({"inspect", folder.File("settings.lst")});
  ASSERT_EQ(outline.exitCode, 0);
  EXPECT_NE(outline.out.find("class: TExternalPluginProperties"), std::string::npos) << outline.out;
}

TEST(KitInspectTest, SingleBagIsReadByItsClass) {
  TempFolder folder;
  TExternalPluginProperties bag;
  bag.SetLines({"x"});
  std::string bytes;
  {
    TMemoryStream stream;
    ASSERT_TRUE(bag.SaveToStream(stream, 0, 256));
    bytes = stream.ToString();
  }
  const std::string path = folder.Write("plugins.cfg", bytes + "tail");
  const KitResult result =
      RunKitCommand({"inspect", path, "--bag", "TExternalPluginProperties", "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json json = nlohmann::json::parse(result.out);
  EXPECT_EQ(json["fields"]["packages"], "x");
  EXPECT_EQ(json["unreadBytes"], 4);

  EXPECT_EQ(RunKitCommand({"inspect", path, "--bag", "TNoSuchBag"}).exitCode, 1);
  // A version is a whole number or a usage error, never the number at its start.
  for (const char* version : {"abc", "256x", "", "99999999999"}) {
    const std::vector<std::string> args = {
        "inspect", path, "--bag", "TExternalPluginProperties", "--file-version", version};
    EXPECT_EQ(RunKitCommand(args).exitCode, 2) << version;
  }
  EXPECT_EQ(RunKitCommand(
                {"inspect", path, "--bag", "TExternalPluginProperties", "--file-version", "256"})
                .exitCode,
            0);
}

TEST(KitInspectTest, FilesThatCannotBeInspectedSayWhy) {
  TempFolder folder;
  const KitResult text = RunKitCommand({"inspect", folder.Write("a.txt", std::string(40, 'a'))});
  EXPECT_EQ(text.exitCode, 1);
  EXPECT_NE(text.err.find("Keine CSF-Datei!"), std::string::npos) << text.err;
  EXPECT_EQ(RunKitCommand({"inspect", folder.File("missing")}).exitCode, 1);
  EXPECT_EQ(RunKitCommand({"inspect", "|x.kvt", "--package", folder.File("none.pkg")}).exitCode, 1);
}

}  // namespace
}  // namespace nimbra
