#include "storage/CSFStream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "storage/CSFError.h"
#include "storage/ClassRegistry.h"
#include "storage/MemoryStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

int32_t IntAt(const TMemoryStream& stream, size_t offset) {
  int32_t value = 0;
  std::memcpy(&value, stream.Bytes().data() + offset, 4);
  return value;
}

int64_t Int64At(const TMemoryStream& stream, size_t offset) {
  int64_t value = 0;
  std::memcpy(&value, stream.Bytes().data() + offset, 8);
  return value;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes += static_cast<char>(value);
  return bytes;
}

TEST(CSFStreamTest, EmptyStreamHoldsOnlyItsHeader) {
  TMemoryStream base;
  {
    TCSFStream stream(base, CSFMode::Create);
    stream.SetFileType(1281);
    stream.SetFileVersion(771);
  }
  ASSERT_EQ(base.Size(), 32);
  EXPECT_EQ(base.ToString().substr(0, 4), "KRVX");
  EXPECT_EQ(IntAt(base, 4), 32);
  EXPECT_EQ(IntAt(base, 8), 65538);
  EXPECT_EQ(IntAt(base, 12), 1281);
  EXPECT_EQ(IntAt(base, 16), 0);
  EXPECT_EQ(IntAt(base, 20), 771);
  EXPECT_EQ(Int64At(base, 24), 32);
}

TEST(CSFStreamTest, HeaderCountsEveryEndedChunkAndStatesTheLength) {
  TMemoryStream base;
  {
    TCSFStream stream(base, CSFMode::Create);
    stream.BeginChunk(256);
    stream.WriteInteger(7);
    stream.BeginChunk(300);  // nested chunks count too
    stream.EndChunk();
    stream.EndChunk();
  }
  ASSERT_EQ(base.Size(), 32 + 12 + 4 + 12);
  EXPECT_EQ(IntAt(base, 16), 2);
  EXPECT_EQ(IntAt(base, 4), base.Size());
  EXPECT_EQ(Int64At(base, 24), base.Size());
  // The outer chunk: magic, id, length including its header and the nested chunk.
  EXPECT_EQ(base.ToString().substr(32, 4), "CHNK");
  EXPECT_EQ(IntAt(base, 36), 256);
  EXPECT_EQ(IntAt(base, 40), 28);
  EXPECT_EQ(IntAt(base, 52), 300);
  EXPECT_EQ(IntAt(base, 56), 12);
}

TEST(CSFStreamTest, OldVersionTakesTheSignExtended32BitSize) {
  TMemoryStream base;
  { TCSFStream stream(base, CSFMode::Create); }
  base.SetPosition(4);
  const int32_t size32 = 1000;
  const int32_t version = 65537;
  base.WriteBuffer(&size32, 4);
  base.WriteBuffer(&version, 4);
  TCSFStream reader(base, CSFMode::Read);
  EXPECT_EQ(reader.HeaderSize(), 1000);

  const int32_t negative = -5;
  base.SetPosition(4);
  base.WriteBuffer(&negative, 4);
  TCSFStream again(base, CSFMode::Read);
  EXPECT_EQ(again.HeaderSize(), -5);
}

TEST(CSFStreamTest, WrongMagicsRaiseTheirCodes) {
  TMemoryStream notCsf(std::string(32, 'x'));
  try {
    TCSFStream stream(notCsf, CSFMode::Read);
    FAIL() << "a wrong header magic must raise";
  } catch (const ECSFError& error) {
    EXPECT_EQ(error.Code(), kCSFNoCSFFile);
    EXPECT_STREQ(error.what(), "Keine CSF-Datei!");
  }

  TMemoryStream base(std::string("CHNX") + std::string(8, '\0'));
  TCSFStream stream(base, CSFMode::HeaderlessRead);
  try {
    stream.ReadChunkHeader();
    FAIL() << "a wrong chunk magic must raise";
  } catch (const ECSFError& error) {
    EXPECT_EQ(error.Code(), kCSFWrongChunkHeader);
    EXPECT_STREQ(error.what(), "Falscher Chunkheader!");
  }
}

TEST(CSFStreamTest, ChunkLengthsThatCannotBeTrueAreWrongHeaders) {
  for (const int32_t length : {0, 11, -12, 25}) {
    TMemoryStream base;
    TCSFStream writer(base, CSFMode::Headerless);
    writer.WriteChunkHeader(1, length);
    writer.WriteInteger(0);  // 16 bytes in all: 25 reaches past them
    base.SetPosition(0);
    TCSFStream reader(base, CSFMode::HeaderlessRead);
    EXPECT_THROW(reader.ReadChunkHeader(), ECSFError) << length;
  }
}

TEST(CSFStreamTest, ReaderSkipsUnknownChunksByTheirLength) {
  TMemoryStream base;
  {
    TCSFStream writer(base, CSFMode::Create);
    writer.BeginChunk(999);
    writer.WriteString("unknown to the reader");
    writer.EndChunk();
    writer.BeginChunk(5);
    writer.WriteInteger(42);
    writer.EndChunk();
  }
  TCSFStream reader(base, CSFMode::Read);
  std::vector<int32_t> found;
  for (int32_t i = 0; i < reader.ChunkCount(); ++i) {
    const int64_t start = reader.Position();
    const TChunkHeader header = reader.ReadChunkHeader();
    if (header.Id == 5) found.push_back(reader.ReadInteger());
    reader.SetPosition(start + header.Length);
  }
  EXPECT_EQ(found, std::vector<int32_t>{42});
  EXPECT_TRUE(reader.AtEnd());
}

TEST(CSFStreamTest, ReadChunkFramesEndBehindTheChunk) {
  TMemoryStream base;
  {
    TCSFStream writer(base, CSFMode::Create);
    writer.BeginChunk(1);
    writer.WriteInteger(1);
    writer.WriteInteger(2);
    writer.EndChunk();
  }
  TCSFStream reader(base, CSFMode::Read);
  reader.SeekToFirstChunk();
  const TChunkHeader header = reader.BeginReadChunk();
  EXPECT_EQ(header.Id, 1);
  EXPECT_EQ(header.Length, 20);
  EXPECT_EQ(reader.ReadInteger(), 1);
  reader.EndReadChunk();
  EXPECT_EQ(reader.Position(), 52);
}

TEST(CSFStreamTest, SubChunksLetReadersSkipLaterFields) {
  TMemoryStream base;
  TCSFStream writer(base, CSFMode::Headerless);
  writer.BeginSubChunk();
  writer.WriteInteger(1);
  writer.WriteString("two");
  writer.WriteDouble(3.0);
  writer.EndSubChunk();
  writer.WriteInteger(99);
  ASSERT_EQ(base.Size(), 4 + 4 + 7 + 8 + 4);

  base.SetPosition(0);
  TCSFStream reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.BeginReadSubChunk(), 19);
  EXPECT_EQ(reader.ReadInteger(), 1);
  EXPECT_TRUE(reader.MoreInSubChunk());
  reader.EndReadSubChunk();
  EXPECT_FALSE(reader.MoreInSubChunk());
  EXPECT_EQ(reader.ReadInteger(), 99);
}

TEST(CSFStreamTest, EmptySubChunkYieldsNoPayload) {
  TMemoryStream base(Bytes({4, 0, 0, 0, 9, 0, 0, 0}));
  TCSFStream reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.BeginReadSubChunk(), 0);
  EXPECT_FALSE(reader.MoreInSubChunk());
  reader.EndReadSubChunk();
  EXPECT_EQ(reader.Position(), 4);
}

TEST(CSFStreamTest, SubChunkLengthsOutsideTheirContainerRaise) {
  // Below its own length field, past the data, and past the enclosing sub-chunk.
  const std::string cases[] = {Bytes({3, 0, 0, 0}), Bytes({9, 0, 0, 0, 1, 2}),
                               Bytes({8, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0})};
  for (const std::string& bytes : cases) {
    TMemoryStream base(bytes);
    TCSFStream reader(base, CSFMode::HeaderlessRead);
    try {
      reader.BeginReadSubChunk();
      reader.BeginReadSubChunk();
      FAIL() << "no sub-chunk may reach outside its container";
    } catch (const ECSFError& error) {
      EXPECT_EQ(error.Code(), kCSFReadError);
    }
  }
}

TEST(CSFStreamTest, TypedValuesHaveTheirWireForm) {
  TMemoryStream base;
  TCSFStream writer(base, CSFMode::Headerless);
  writer.WriteBoolean(true);
  writer.WriteByte(0xAB);
  writer.WriteInteger(-2);
  writer.WriteCardinal(0xDEADBEEF);
  writer.WriteInt64(-3);
  writer.WriteSingle(1.5F);
  writer.WriteDouble(-0.25);
  writer.WriteString("");
  writer.WriteString("Ab");
  EXPECT_EQ(base.ToString(),
            Bytes({1, 0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xBE, 0xAD, 0xDE, 0xFD, 0xFF, 0xFF, 0xFF,
                   0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0xD0, 0xBF, 0, 0,
                   0, 0, 2, 0, 0, 0, 'A', 'b'}));

  base.SetPosition(0);
  TCSFStream reader(base, CSFMode::HeaderlessRead);
  EXPECT_TRUE(reader.ReadBoolean());
  EXPECT_EQ(reader.ReadByte(), 0xAB);
  EXPECT_EQ(reader.ReadInteger(), -2);
  EXPECT_EQ(reader.ReadCardinal(), 0xDEADBEEFU);
  EXPECT_EQ(reader.ReadInt64(), -3);
  EXPECT_EQ(reader.ReadSingle(), 1.5F);
  EXPECT_EQ(reader.ReadDouble(), -0.25);
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_EQ(reader.ReadString(), "Ab");
  EXPECT_THROW(reader.ReadByte(), EReadError);
}

TEST(CSFStreamTest, StringsAreWindows1252OnTheWireAndEveryByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  TMemoryStream wire;
  {
    TCSFStream writer(wire, CSFMode::Headerless);
    writer.WriteInteger(256);
    writer.WriteBuffer(all.data(), 256);
  }
  wire.SetPosition(0);
  TCSFStream reader(wire, CSFMode::HeaderlessRead);
  const std::string text = reader.ReadString();
  EXPECT_NE(text.find("€"), std::string::npos);  // 0x80
  EXPECT_NE(text.find("Ü"), std::string::npos);  // 0xDC

  TMemoryStream again;
  TCSFStream writer(again, CSFMode::Headerless);
  writer.WriteString(text);
  EXPECT_EQ(again.ToString(), wire.ToString());

  TMemoryStream german;
  TCSFStream umlauts(german, CSFMode::Headerless);
  umlauts.WriteString("Größe");
  EXPECT_EQ(german.ToString(), Bytes({5, 0, 0, 0, 'G', 'r', 0xF6, 0xDF, 'e'}));
}

TEST(CSFStreamTest, StringLengthsAreNeverTrusted) {
  TMemoryStream negative(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'x'}));
  TCSFStream reader(negative, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_EQ(reader.Position(), 4);

  // A length far beyond the data fails before anything of that size is allocated.
  TMemoryStream huge(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'x', 'y'}));
  TCSFStream hugeReader(huge, CSFMode::HeaderlessRead);
  EXPECT_THROW(hugeReader.ReadString(), EReadError);
}

TEST(CSFStreamTest, ReleaseClosesWhatWritersLeftOpen) {
  TMemoryStream base;
  {
    TCSFStream writer(base, CSFMode::Create);
    writer.BeginChunk(3);
    writer.BeginSubChunk();
    writer.WriteInteger(5);
  }
  EXPECT_EQ(IntAt(base, 16), 1);
  EXPECT_EQ(IntAt(base, 40), 12 + 8);
  EXPECT_EQ(IntAt(base, 44), 8);
}

TEST(CSFStreamTest, UpdateModeAppendsChunksToAnExistingStream) {
  TMemoryStream base;
  {
    TCSFStream writer(base, CSFMode::Create);
    writer.SetFileType(1287);
    writer.BeginChunk(1);
    writer.EndChunk();
  }
  {
    TCSFStream updater(base, CSFMode::Update);
    EXPECT_EQ(updater.FileType(), 1287);
    updater.SeekToEnd();
    updater.BeginChunk(2);
    updater.EndChunk();
  }
  TCSFStream reader(base, CSFMode::Read);
  EXPECT_EQ(reader.ChunkCount(), 2);
  EXPECT_EQ(reader.FileType(), 1287);
  EXPECT_EQ(reader.HeaderSize(), 56);
}

TEST(CSFStreamTest, ClosedModeHasNoPosition) {
  TMemoryStream base(std::string(40, '\0'));
  base.SetPosition(8);
  TCSFStream stream(base, CSFMode::Closed);
  EXPECT_EQ(stream.Position(), -1);
  stream.SetPosition(20);
  EXPECT_EQ(base.Position(), 8);
}

TEST(CSFStreamTest, ErrorTextsCoverEveryCode) {
  EXPECT_EQ(TCSFStream::ErrorText(0), "kein Fehler");
  EXPECT_EQ(TCSFStream::ErrorText(-2), "Datei kann nicht geöffnet werden!");
  EXPECT_EQ(TCSFStream::ErrorText(-3), "Datei kann nicht gefunden werden!");
  EXPECT_EQ(TCSFStream::ErrorText(-6), "Falsches Dateiformat!");
  EXPECT_EQ(TCSFStream::ErrorText(-7), "Datei konnte nicht erstellt werden!");
  EXPECT_EQ(TCSFStream::ErrorText(-8), "Fehler beim Lesen der Datei!");
  EXPECT_EQ(TCSFStream::ErrorText(-9), "Fehler beim Schreiben der Datei!");
  EXPECT_EQ(TCSFStream::ErrorText(-1), "Unbekannter Fehler!");
  EXPECT_EQ(TCSFStream::ErrorText(17), "Unbekannter Fehler!");
  try {
    TCSFStream::RaiseError(-6);
  } catch (const ECSFError& error) {
    EXPECT_EQ(error.Code(), -6);
  }
}

class TStoredThing : public TObject {
  NIMBRA_DECLARE_CLASS()
};
NIMBRA_DEFINE_CLASS(TStoredThing, TObject)

TEST(CSFStreamTest, ClassNamesResolveThroughTheClassRegistry) {
  RegisterClass(TStoredThing::StaticClass());
  TStoredThing thing;
  TMemoryStream base;
  TCSFStream writer(base, CSFMode::Headerless);
  writer.WriteClassName(&thing);
  writer.WriteClassName(nullptr);
  writer.WriteString("tstoredTHING");
  writer.WriteString("TNothingOfThatName");
  base.SetPosition(0);
  TCSFStream reader(base, CSFMode::HeaderlessRead);
  EXPECT_EQ(reader.ReadClassName(), "TStoredThing");
  EXPECT_EQ(reader.ReadClass(), nullptr);
  EXPECT_EQ(reader.ReadClass(), &TStoredThing::StaticClass());
  EXPECT_EQ(reader.ReadClass(), nullptr);
  UnregisterClass(TStoredThing::StaticClass());
}

}  // namespace
}  // namespace nimbra
