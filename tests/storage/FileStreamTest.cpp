#include "storage/FileStream.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>

#include "TempFolder.h"
#include "storage/AtomicFile.h"
#include "storage/StreamErrors.h"
#include "storage/SystemErrorText.h"

namespace nimbra {
namespace {

using test::TempFolder;

TEST(FileStreamTest, GatheredWritesReachTheFileAndReadBack) {
  TempFolder folder;
  const std::string path = folder.File("values.bin");
  std::string expected;
  {
    TFileStream file(path, FileMode::Create);
    for (int i = 0; i < 10000; ++i) {
      const std::string value = std::to_string(i) + ",";
      file.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
      expected += value;
    }
    EXPECT_EQ(file.Size(), static_cast<int64_t>(expected.size()));
    // Patch in place, as chunk lengths are patched, then read across the patch.
    file.SetPosition(2);
    file.WriteBuffer("XY", 2);
    expected.replace(2, 2, "XY");
    file.SetPosition(0);
    std::string start(6, '\0');
    file.ReadBuffer(start.data(), 6);
    EXPECT_EQ(start, expected.substr(0, 6));
  }
  EXPECT_EQ(TempFolder::Read(path), expected);
}

TEST(FileStreamTest, ReadsLargeAndSmallPiecesAlike) {
  TempFolder folder;
  std::string bytes(100000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  const std::string path = folder.Write("big.bin", bytes);
  TFileStream file(path, FileMode::OpenRead);
  std::string small(3, '\0');
  file.SetPosition(99);
  file.ReadBuffer(small.data(), 3);
  EXPECT_EQ(small, bytes.substr(99, 3));
  std::string large(50000, '\0');
  file.ReadBuffer(large.data(), 50000);
  EXPECT_EQ(large, bytes.substr(102, 50000));
  file.SetPosition(99990);
  EXPECT_EQ(file.Read(large.data(), 50000), 10);
  EXPECT_THROW(file.ReadBuffer(large.data(), 1), EReadError);
}

TEST(FileStreamTest, OpenFailuresRaise) {
  TempFolder folder;
  EXPECT_THROW(TFileStream(folder.File("missing"), FileMode::OpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(folder.Path().string(), FileMode::OpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(folder.File("no/such/folder"), FileMode::Create), EFCreateError);
}

TEST(FileStreamTest, SetSizeCutsTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("cut.bin", "0123456789");
  {
    TFileStream file(path, FileMode::OpenReadWrite);
    file.Seek(0, SeekOrigin::End);
    file.WriteBuffer("AB", 2);
    file.SetSize(4);
    EXPECT_EQ(file.Position(), 4);
  }
  EXPECT_EQ(TempFolder::Read(path), "0123");
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A disk that takes no more: the error names the file the writer knows, not its temporary twin,
// keeps the system's reason, and leaves nothing behind.
TEST(FileStreamTest, AtomicWriteFailuresNameTheDestinationAndLeaveNothing) {
  TempFolder temp;
  const std::string destination = temp.File("Hintergrund.bmp");
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  int code = 0;
  std::string reason;
  try {
    TAtomicFile file(destination);
    TFileStream out(file.TemporaryName(), FileMode::Create, destination);
    const std::string bytes(64 * 1024, 'x');
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    out.Flush();
  } catch (const EWriteError& error) {
    message = error.what();
    code = error.SystemCode();
    reason = FileErrorReason(error);
  }
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(message, "Cannot write file \"" + destination + "\": " + std::strerror(EFBIG));
  EXPECT_EQ(code, EFBIG);
  EXPECT_EQ(reason, "Die Datei wird zu groß");
  EXPECT_TRUE(FilesIn(temp.Path()).empty());
  EXPECT_EQ(FileErrorReason(EWriteError("short write")), "short write");
  EXPECT_EQ(SystemErrorText(ENOSPC), "Auf dem Datenträger ist kein Platz mehr frei");
}

TEST(FileStreamTest, LeftoversOfDeadWritersAreRemovedAndNothingElse) {
  TempFolder temp;
  for (const char* name : {"Bild.bmp", "Bild.bmp.tmp-812-4-0", "Bild.bmp.tmp-9-9-9", "Bild.bmpx",
                           "Bild.bmp.tmpfile", "Andere.bmp.tmp-812-4-0"}) {
    temp.Write(name, "x");
  }
  TAtomicFile::RemoveLeftovers(temp.File("Bild.bmp"));
  EXPECT_EQ(FilesIn(temp.Path()), (std::set<std::string>{"Bild.bmp", "Bild.bmpx",
                                                         "Bild.bmp.tmpfile",
                                                         "Andere.bmp.tmp-812-4-0"}));
}

}  // namespace
}  // namespace nimbra
