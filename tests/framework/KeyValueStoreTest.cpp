#include "framework/KeyValueStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "TempFolder.h"
#include "storage/AtomicFile.h"
#include "storage/FileStream.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProductKey = "\\Software\\Velmora\\Nimbra\\1.x\\";

class KeyValueStoreTest : public ::testing::Test {
 protected:
  KeyValueStoreTest() {
    store_.SetReporter([this](const std::string& message) { reports_.push_back(message); });
  }

  std::string KeyFolder() const { return (folder_.Path() / "Velmora/Nimbra/1.x").string(); }
  std::string ValuesFile() const { return KeyFolder() + "/values.nkv"; }
  size_t FilesInKey() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(KeyFolder()),
                                             fs::directory_iterator()));
  }

  test::TempFolder folder_;
  TKeyValueStore store_{folder_.Path().string()};
  std::vector<std::string> reports_;
};

TEST_F(KeyValueStoreTest, ProductKeyLandsBelowTheRootWithoutSoftware) {
  EXPECT_FALSE(store_.OpenKey(kProductKey, false));
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  EXPECT_EQ(store_.CurrentKeyFolder(), KeyFolder());
  EXPECT_TRUE(fs::is_directory(KeyFolder()));
  EXPECT_TRUE(store_.KeyExists("/software/Velmora/Nimbra/1.x"));
  EXPECT_EQ(store_.KeyFolder("Velmora\\Nimbra\\1.x"), KeyFolder());
  // No key name may lead out of the store.
  EXPECT_EQ(store_.KeyFolder("\\Velmora\\..\\..\\etc"), std::nullopt);
  EXPECT_FALSE(store_.OpenKey("\\Velmora\\..\\..\\etc", true));
}

TEST_F(KeyValueStoreTest, ValuesRoundTripInTheirFirstWrittenOrder) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  const std::string binary("\0\x01\xFF\r\n", 5);
  store_.WriteBinaryData("OrielProperties", binary);
  store_.WriteBinaryData("Leer", "");
  store_.WriteBinaryData("Äußeres", "x");
  store_.WriteBinaryData("OrielProperties", "neu");

  TKeyValueStore other(folder_.Path().string());
  ASSERT_TRUE(other.OpenKeyReadOnly(kProductKey));
  EXPECT_EQ(other.GetValueNames(),
            (std::vector<std::string>{"OrielProperties", "Leer", "Äußeres"}));
  EXPECT_EQ(other.ReadBinaryData("OrielProperties"), "neu");
  EXPECT_EQ(other.GetDataSize("Leer"), 0);
  EXPECT_TRUE(other.ValueExists("Leer"));

  store_.WriteBinaryData("Binär", binary);
  EXPECT_EQ(other.ReadBinaryData("Binär"), binary);
  EXPECT_TRUE(store_.DeleteValue("Leer"));
  EXPECT_FALSE(store_.DeleteValue("Leer"));
  EXPECT_EQ(other.GetValueNames(),
            (std::vector<std::string>{"OrielProperties", "Äußeres", "Binär"}));
}

TEST_F(KeyValueStoreTest, MissingValuesAndKeys) {
  EXPECT_EQ(store_.GetDataSize("x"), -1);
  EXPECT_THROW(store_.WriteBinaryData("x", "y"), EKeyValueStoreError);
  EXPECT_FALSE(store_.OpenKeyReadOnly(kProductKey));
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  EXPECT_EQ(store_.GetDataSize("Fehlt"), -1);
  EXPECT_FALSE(store_.ValueExists("Fehlt"));
  EXPECT_THROW(store_.ReadBinaryData("Fehlt"), EKeyValueStoreError);
  EXPECT_TRUE(store_.GetValueNames().empty());
}

TEST_F(KeyValueStoreTest, ReadOnlyKeysRefuseWrites) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  store_.WriteBinaryData("a", "1");
  ASSERT_TRUE(store_.OpenKeyReadOnly(kProductKey));
  EXPECT_THROW(store_.WriteBinaryData("a", "2"), EKeyValueStoreError);
  EXPECT_THROW(store_.DeleteValue("a"), EKeyValueStoreError);
  EXPECT_EQ(store_.ReadBinaryData("a"), "1");
}

TEST_F(KeyValueStoreTest, DeleteKeyTakesSubKeysAndNeverTheRoot) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  store_.WriteBinaryData("a", "1");
  EXPECT_FALSE(store_.DeleteKey("\\Software\\"));
  EXPECT_TRUE(store_.DeleteKey("\\Software\\Velmora"));
  EXPECT_FALSE(store_.HasCurrentKey());
  EXPECT_FALSE(store_.KeyExists(kProductKey));
  EXPECT_TRUE(fs::is_directory(folder_.Path()));
  EXPECT_FALSE(store_.DeleteKey("\\Software\\Velmora"));
}

TEST_F(KeyValueStoreTest, ADamagedFileReadsAsAnEmptyKeyAndIsKeptAside) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  store_.WriteBinaryData("a", "1");
  std::string bytes = test::TempFolder::Read(ValuesFile());
  bytes.resize(bytes.size() - 1);
  { std::ofstream(ValuesFile(), std::ios::binary | std::ios::trunc) << bytes; }

  EXPECT_EQ(store_.GetDataSize("a"), -1);
  EXPECT_TRUE(store_.GetValueNames().empty());
  ASSERT_EQ(reports_.size(), 1u);  // once, however often it is read
  EXPECT_NE(reports_[0].find(ValuesFile()), std::string::npos);

  store_.WriteBinaryData("b", "2");
  EXPECT_EQ(store_.GetValueNames(), std::vector<std::string>{"b"});
  EXPECT_EQ(test::TempFolder::Read(KeyFolder() + "/values.nkv.damaged"), bytes);
}

TEST_F(KeyValueStoreTest, AWriterKilledBeforeItsRenameLeavesTheOldValue) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  store_.WriteBinaryData("OrielProperties", "alt");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The new file is complete on the disk; the writer dies before it takes the old one's place.
    try {
      TAtomicFile file(ValuesFile(), 0600);
      {
        TFileStream out(file.TemporaryName(), FileMode::Create);
        const std::string bytes = EncodeKeyValues({{"OrielProperties", "neu"}});
        out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      }
      ::_exit(0);
    } catch (...) {
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(FilesInKey(), 2u);  // the values and the stray temporary file

  EXPECT_EQ(store_.ReadBinaryData("OrielProperties"), "alt");
  store_.WriteBinaryData("OrielProperties", "neuer");
  EXPECT_EQ(store_.ReadBinaryData("OrielProperties"), "neuer");
  EXPECT_EQ(FilesInKey(), 1u);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(KeyValueStoreTest, WritersKilledAtAnyMomentLeaveOldOrNewNeverTorn) {
  ASSERT_TRUE(store_.OpenKey(kProductKey, true));
  const std::string first(256 * 1024, 'a');
  const std::string second(200 * 1024, 'b');
  store_.WriteBinaryData("Bild", first);
  for (int round = 0; round < 8; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The child never returns into the test: it writes until it is killed or fails.
      try {
        TKeyValueStore writer(folder_.Path().string());
        if (!writer.OpenKey(kProductKey, false)) ::_exit(1);
        for (bool even = true;; even = !even) writer.WriteBinaryData("Bild", even ? second : first);
      } catch (...) {
      }
      ::_exit(2);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string value = store_.ReadBinaryData("Bild");
    EXPECT_TRUE(value == first || value == second) << "round " << round << ": torn value";
  }
  EXPECT_TRUE(reports_.empty());
}

TEST(KeyValueFileTest, EncodedValuesDecodeToThemselves) {
  const TKeyValues values = {{"", ""}, {"Name", std::string("\0\xFF", 2)}, {"Ä", "ö"}};
  const std::string bytes = EncodeKeyValues(values);
  EXPECT_EQ(bytes.substr(0, 12), std::string("NKVS\x01\0\0\0\x03\0\0\0", 12));
  EXPECT_EQ(DecodeKeyValues(bytes), values);
}

TEST(KeyValueFileTest, DamagedBytesAreRefusedBeforeAnythingIsAllocated) {
  const std::string good = EncodeKeyValues({{"a", "xyz"}});
  std::string hugeCount = good;
  hugeCount[8] = '\xFF';
  hugeCount[11] = '\x7F';
  std::string hugeData = good;
  hugeData[17] = '\xFF';
  hugeData[20] = '\x7F';
  std::string newerVersion = good;
  newerVersion[4] = 2;
  const std::string twice = EncodeKeyValues({{"a", "1"}, {"b", "2"}});
  std::string duplicate = twice;
  duplicate[twice.find('b')] = 'a';
  const std::string cases[] = {"",
                               "NKVS",
                               "XKVS" + good.substr(4),
                               newerVersion,
                               hugeCount,
                               hugeData,
                               good.substr(0, good.size() - 1),
                               good + "x",
                               duplicate};
  for (const std::string& bytes : cases) {
    EXPECT_THROW(DecodeKeyValues(bytes), EKeyValueStoreError) << testing::PrintToString(bytes);
  }
}

TEST(KeyValueFileTest, AKeyHoldsABoundedNumberOfValues) {
  TKeyValues many;
  for (uint32_t i = 0; i <= kMaxValueCount; ++i) many.emplace_back(std::to_string(i), "");
  EXPECT_THROW(EncodeKeyValues(many), EKeyValueStoreError);
  many.pop_back();
  std::string bytes = EncodeKeyValues(many);
  EXPECT_EQ(DecodeKeyValues(bytes).size(), kMaxValueCount);
  // One more value behind the last, with the count raised to match.
  bytes += std::string("\1\0\0\0x\0\0\0\0", 9);
  bytes[8] = 1;  // 65536 becomes 65537
  EXPECT_THROW(DecodeKeyValues(bytes), EKeyValueStoreError);
}

}  // namespace
}  // namespace nimbra
