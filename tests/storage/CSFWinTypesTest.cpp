#include "storage/CSFStreamWinTypes.h"

#include <gtest/gtest.h>

#include "storage/MemoryStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

TEST(CSFWinTypesTest, NoFontIsMinusOne) {
  TMemoryStream base;
  TCSFStreamWinTypes writer(base, CSFMode::Headerless);
  writer.WriteFont(std::nullopt);
  EXPECT_EQ(base.ToString(), std::string(4, '\xFF'));
  base.SetPosition(0);
  TCSFStreamWinTypes reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.ReadFont(), std::nullopt);
}

TEST(CSFWinTypesTest, FontRecordLayoutAndRoundTrip) {
  const TFontRecord font{0x00FF8000, "Schöne Schrift", -12, kFontStyleBold | kFontStyleStrikeOut};
  TMemoryStream base;
  TCSFStreamWinTypes writer(base, CSFMode::Headerless);
  writer.WriteFont(font);
  writer.WriteInteger(77);
  // R = 17 + m with m = 14 Windows-1252 characters; R appears twice.
  const std::string& bytes = base.ToString();
  ASSERT_EQ(bytes.size(), 4u + 31 + 4);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x1F\0\0\0\x1F\0\0\0", 8));
  EXPECT_EQ(bytes.substr(12, 4), std::string("\x0E\0\0\0", 4));
  EXPECT_EQ(static_cast<unsigned char>(bytes[19]), 0xF6);  // the ö of "Schöne"
  EXPECT_EQ(bytes[34], kFontStyleBold | kFontStyleStrikeOut);

  base.SetPosition(0);
  TCSFStreamWinTypes reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.ReadFont(), font);
  EXPECT_EQ(reader.ReadInteger(), 77);
}

TEST(CSFWinTypesTest, BrokenFontRecordsRaise) {
  // Record length below the fixed fields; past the data; name longer than its record.
  const std::string cases[] = {
      std::string("\x05\0\0\0", 4) + std::string(5, '\0'),
      std::string("\x40\0\0\0", 4) + std::string(20, '\0'),
      std::string("\x11\0\0\0\x11\0\0\0\0\0\0\0\x05\0\0\0", 16) + std::string(5, '\0')};
  for (const std::string& bytes : cases) {
    TMemoryStream base(bytes);
    TCSFStreamWinTypes reader(base, CSFMode::HeaderlessRead);
    EXPECT_THROW(reader.ReadFont(), EReadError);
  }
}

TEST(CSFWinTypesTest, DoubleRectKeepsItsFieldOrder) {
  TMemoryStream base;
  TCSFStreamWinTypes writer(base, CSFMode::Headerless);
  writer.WriteDoubleRect({0.1, 0.2, 0.9, 1.0});
  ASSERT_EQ(base.Size(), 32);
  base.SetPosition(8);
  double top = 0;
  base.ReadBuffer(&top, 8);
  EXPECT_EQ(top, 0.2);
  base.SetPosition(0);
  TCSFStreamWinTypes reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.ReadDoubleRect(), (TDoubleRect{0.1, 0.2, 0.9, 1.0}));
}

}  // namespace
}  // namespace nimbra
