#include "storage/PartialStream.h"

#include <gtest/gtest.h>

#include "storage/MemoryStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

std::string ReadAll(TStream& stream) {
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  bytes.resize(static_cast<size_t>(stream.Read(bytes.data(), stream.Size())));
  return bytes;
}

TEST(PartialStreamTest, ReadsOnlyItsRangeAndKeepsTheBasePosition) {
  TMemoryStream base("0123456789");
  base.SetPosition(7);
  TPartialStream window(base, 2, 5, true);
  EXPECT_EQ(ReadAll(window), "23456");
  EXPECT_EQ(base.Position(), 7);

  char byte = 0;
  window.SetPosition(5);
  EXPECT_EQ(window.Read(&byte, 1), 0);
  window.SetPosition(-1);  // seeking is unchecked, but nothing before the window is readable
  EXPECT_EQ(window.Read(&byte, 1), 0);
}

TEST(PartialStreamTest, WindowIsCutToTheBase) {
  TMemoryStream base("0123456789");
  TPartialStream longWindow(base, 6, 100, true);
  EXPECT_EQ(longWindow.Size(), 4);
  TPartialStream pastTheEnd(base, 50, 10, true);
  EXPECT_EQ(pastTheEnd.Offset(), 10);
  EXPECT_EQ(pastTheEnd.Size(), 0);
  TPartialStream negative(base, -4, 3, true);
  EXPECT_EQ(ReadAll(negative), "012");
  longWindow.SetSize(-3);
  EXPECT_EQ(longWindow.Size(), 0);
}

TEST(PartialStreamTest, GrowableWindowExtendsAsItIsWritten) {
  TMemoryStream base("head");
  TPartialStream window(base, 4, 0, false, true);
  window.WriteBuffer("tail", 4);
  EXPECT_EQ(window.Size(), 4);
  EXPECT_EQ(base.ToString(), "headtail");
  window.SetPosition(0);
  window.WriteBuffer("T", 1);
  EXPECT_EQ(base.ToString(), "headTail");
}

TEST(PartialStreamTest, FixedWindowWritesOnlyUpToItsEnd) {
  TMemoryStream base("0123456789");
  TPartialStream window(base, 2, 3, true);
  window.SetPosition(1);
  EXPECT_EQ(window.Write("abcdef", 6), 2);
  EXPECT_EQ(base.ToString(), "012ab56789");
  EXPECT_THROW(window.WriteBuffer("x", 1), EWriteError);
}

}  // namespace
}  // namespace nimbra
