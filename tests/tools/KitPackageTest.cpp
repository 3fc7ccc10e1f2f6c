#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "KitRunner.h"
#include "TempFolder.h"

namespace nimbra {
namespace {

using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

std::string Bytes(size_t size, int seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 13 + static_cast<size_t>(seed)) % 256);
  return bytes;
}

size_t FileCount(const TempFolder& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder.Path()),
                                           std::filesystem::directory_iterator()));
}

nlohmann::json ListJson(const std::string& file) {
  const KitResult listed = RunKitCommand({"list", file, "--json"});
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  return nlohmann::json::parse(listed.out);
}

TEST(KitPackageTest, PackListExtractRoundTripsAPlainPackage) {
  TempFolder folder;
  const std::string a = folder.Write("a.jpg", Bytes(500, 1));
  const std::string b = folder.Write("b.bin", Bytes(70000, 2));
  const KitResult packed = RunKitCommand(
      {"pack", "-o", folder.File("album.pkg"), a, "--name", "Über/Bild.bin=" + b});
  ASSERT_EQ(packed.exitCode, 0) << packed.err;

  const nlohmann::json json = ListJson(folder.File("album.pkg"));
  EXPECT_EQ(json["fileType"], 1296);
  EXPECT_EQ(json["fileVersion"], 256);
  EXPECT_EQ(json["chunkCount"], 4);
  EXPECT_TRUE(json["startOffset"].is_null());
  EXPECT_EQ(json["length"], std::filesystem::file_size(folder.File("album.pkg")));
  ASSERT_EQ(json["entries"].size(), 2u);
  EXPECT_EQ(json["entries"][0], (nlohmann::json{{"name", "a.jpg"}, {"offset", 44}, {"size", 500}}));
  EXPECT_EQ(json["entries"][1]["name"], "Über/Bild.bin");
  EXPECT_EQ(json["entries"][1]["size"], 70000);

  const KitResult extracted =
      RunKitCommand({"extract", folder.File("album.pkg"), "über/bild.BIN", "-o", folder.File("out")});
  ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
  EXPECT_EQ(TempFolder::Read(folder.File("out")), Bytes(70000, 2));
}

TEST(KitPackageTest, PackWithExeAppendsAndKeepsTheRunBit) {
  TempFolder folder;
  const std::string exe = folder.Write("nimbra", "#!/bin/sh\nexit 0\n");
  ::chmod(exe.c_str(), 0755);
  const std::string photo = folder.Write("photo.jpg", Bytes(1234, 3));
  const std::string album = folder.File("album");
  ASSERT_EQ(RunKitCommand({"pack", "--exe", exe, "-o", album, photo}).exitCode, 0);

  struct stat info {};
  ASSERT_EQ(::stat(album.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);
  EXPECT_EQ(test::RunKitProgram("list " + album), 0);
  const nlohmann::json json = ListJson(album);
  EXPECT_EQ(json["startOffset"], 17);
  EXPECT_EQ(json["length"], std::filesystem::file_size(album) - 17);
  EXPECT_EQ(json["entries"][0]["offset"], 44);
  EXPECT_EQ(TempFolder::Read(album).substr(0, 17), "#!/bin/sh\nexit 0\n");

  ASSERT_EQ(RunKitCommand({"extract", album, "PHOTO.JPG", "-o", folder.File("back.jpg")}).exitCode, 0);
  EXPECT_EQ(TempFolder::Read(folder.File("back.jpg")), Bytes(1234, 3));
}

TEST(KitPackageTest, FilesThatAreNoPackagesFailInOneLine) {
  TempFolder folder;
  const std::string text = folder.Write("notes.txt", "just some text, long enough to be read");
  for (const std::string& file : {text, folder.File("missing.pkg")}) {
    const KitResult listed = RunKitCommand({"list", file});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_EQ(std::count(listed.err.begin(), listed.err.end(), '\n'), 1) << listed.err;
  }
  EXPECT_EQ(test::RunKitProgram("list " + text), 1);
  const std::string pkg = folder.File("p.pkg");
  ASSERT_EQ(RunKitCommand({"pack", "-o", pkg, text}).exitCode, 0);
  const KitResult missing = RunKitCommand({"extract", pkg, "other.txt", "-o", folder.File("o")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("other.txt"), std::string::npos);
}

TEST(KitPackageTest, UsageMistakesExitWithTwo) {
  TempFolder folder;
  const std::string file = folder.Write("a.txt", "a");
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"unpack"},
      {"pack", file},
      {"pack", "-o", folder.File("x")},
      {"pack", "-o", folder.File("x"), "--name", "noequals"},
      {"list"},
      {"list", file, "--frobnicate"},
      {"extract", file, "-o"},
  };
  for (const auto& args : mistakes) EXPECT_EQ(RunKitCommand(args).exitCode, 2);
  EXPECT_EQ(test::RunKitProgram("pack"), 2);
  const KitResult help = RunKitCommand({"pack", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: nimbra-kit pack"), std::string::npos);
}

TEST(KitPackageTest, FailedPackLeavesNothingBehind) {
  TempFolder folder;
  const std::string a = folder.Write("a.txt", "a");
  const std::string out = folder.Write("out.pkg", "previous package");
  EXPECT_EQ(RunKitCommand({"pack", "-o", out, a, folder.File("missing.txt")}).exitCode, 1);
  EXPECT_EQ(RunKitCommand({"pack", "-o", out, a, "--name", "A.TXT=" + a}).exitCode, 1);
  EXPECT_EQ(RunKitCommand({"pack", "-o", out, "--name", "写真.jpg=" + a}).exitCode, 1);
  EXPECT_EQ(TempFolder::Read(out), "previous package");
  EXPECT_EQ(FileCount(folder), 2u);
}

}  // namespace
}  // namespace nimbra
