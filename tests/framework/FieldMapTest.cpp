#include <gtest/gtest.h>

#include <string>

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "storage/CSFError.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ChunkList.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

// One field of every kind, a sub-chunk whose tail older layouts lack, a field a later file version
// widened, fields read all or none, and a part with a layout of its own.
struct TAllKinds {
  bool flag = false;
  uint8_t byte = 0;
  int32_t integer = 0;
  uint32_t cardinal = 0;
  uint32_t color = 0;
  float single = 0;
  double number = 0;
  std::string text;
  TDoubleRect rect;
  TFontRecord font;
  int32_t widened = 0;
  std::string bytes;
  int32_t tail = 0;
  std::string kept = "kept";
  int32_t whole1 = 0;
  int32_t whole2 = 0;
  TPartRead partRead = TPartRead::Read;
  int32_t afterPart = 0;

  void MapFields(TFieldMap& map) {
    map.Boolean("flag", flag);
    map.Byte("byte", byte);
    map.Integer("integer", integer);
    map.Cardinal("cardinal", cardinal);
    map.Color("color", color);
    map.Single("single", single);
    map.Double("number", number);
    map.String("text", text);
    map.Rect("rect", rect);
    map.Font("font", font);
    if (map.Since(300)) {
      map.Integer("widened", widened);
    } else {
      map.ByteInteger("widened", widened);
    }
    map.SubChunk([&] {
      map.Text("kept", kept, [this](std::string value) {
        kept = "got " + value;
        return true;
      });
      if (map.More()) map.Integer("tail", tail);
    });
    map.SubChunkBytes("bytes", bytes);
    map.Whole([&] {
      map.Integer("whole1", whole1);
      map.Integer("whole2", whole2);
    });
    map.Part("part",
             {[](TCSFStream& stream) {
                stream.WriteByte(9);
                return true;
              },
              [this](TCSFStream& stream) {
                stream.ReadByte();
                return partRead;
              },
              [](std::string_view name, TFieldWriter& fields) { fields.Integer(name, 9); }});
    map.Integer("afterPart", afterPart);
  }
};

TAllKinds Filled() {
  TAllKinds all;
  all.flag = true;
  all.byte = 200;
  all.integer = -5;
  all.cardinal = 0xFFFFFFF0u;
  all.color = 0x80112233u;
  all.single = 1.5f;
  all.number = -2.25;
  all.text = "Grüße";
  all.rect = {0.125, 0.25, 0.5, 1};
  all.font = {0x112233, "Liberation Sans", 12, 1};
  all.widened = 70000;
  all.bytes = std::string("\x00\x01", 2);
  all.tail = 8;
  all.whole1 = 11;
  all.whole2 = 12;
  all.afterPart = 13;
  return all;
}

// What the fields above make, written by hand; the older layout (before version 300) has the
// widened field in one byte and the sub-chunk without its tail.
std::string HandWritten(const TAllKinds& all, bool olderLayout = false) {
  TMemoryStream bytes;
  TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
  stream.WriteBoolean(all.flag);
  stream.WriteByte(all.byte);
  stream.WriteInteger(all.integer);
  stream.WriteCardinal(all.cardinal);
  stream.WriteCardinal(all.color);
  stream.WriteSingle(all.single);
  stream.WriteDouble(all.number);
  stream.WriteString(all.text);
  for (const double edge : {all.rect.Left, all.rect.Top, all.rect.Right, all.rect.Bottom}) {
    stream.WriteDouble(edge);
  }
  stream.WriteFont(all.font);
  if (olderLayout) {
    stream.WriteByte(static_cast<uint8_t>(all.widened));
  } else {
    stream.WriteInteger(all.widened);
  }
  stream.BeginSubChunk();
  stream.WriteString(all.kept);
  if (!olderLayout) stream.WriteInteger(all.tail);
  stream.EndSubChunk();
  stream.BeginSubChunk();
  stream.WriteBuffer(all.bytes.data(), 2);
  stream.EndSubChunk();
  stream.WriteInteger(all.whole1);
  stream.WriteInteger(all.whole2);
  stream.WriteByte(9);
  stream.WriteInteger(all.afterPart);
  stream.Release();
  return bytes.ToString();
}

std::string Written(const TAllKinds& all) {
  TMemoryStream bytes;
  TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
  EXPECT_TRUE(WriteFields(stream, all));
  stream.Release();
  return bytes.ToString();
}

bool Read(const std::string& bytes, TAllKinds& all, int32_t fileVersion = 300) {
  TMemoryStream source(bytes);
  TCSFStreamWinTypes stream(source, CSFMode::HeaderlessRead);
  stream.SetFileVersion(fileVersion);
  return ReadFields(stream, all);
}

class TNames : public TFieldWriter {
 public:
  std::string names;
  void Integer(std::string_view name, int64_t) override { Add(name); }
  void Number(std::string_view name, double) override { Add(name); }
  void Boolean(std::string_view name, bool) override { Add(name); }
  void Text(std::string_view name, std::string_view) override { Add(name); }
  void Bytes(std::string_view name, std::string_view) override { Add(name); }
  void Color(std::string_view name, uint32_t) override { Add(name); }

 private:
  void Add(std::string_view name) { names += std::string(name) + " "; }
};

TEST(FieldMapTest, OneListWritesReadsAndDescribesEveryKind) {
  const TAllKinds source = Filled();
  const std::string bytes = Written(source);
  EXPECT_EQ(bytes, HandWritten(source));

  TAllKinds copy;
  ASSERT_TRUE(Read(bytes, copy));
  EXPECT_EQ(copy.kept, "got kept");
  copy.kept = source.kept;
  EXPECT_EQ(Written(copy), bytes);

  TNames names;
  DescribeFieldsOf(names, source);
  EXPECT_EQ(names.names,
            "flag byte integer cardinal color single number text rectLeft rectTop rectRight "
            "rectBottom font widened kept tail bytes whole1 whole2 part afterPart ");
}

TEST(FieldMapTest, OlderLayoutsReadWhatTheyHold) {
  TAllKinds source = Filled();
  source.widened = 77;
  TAllKinds old;
  ASSERT_TRUE(Read(HandWritten(source, true), old, 299));
  EXPECT_EQ(old.widened, 77);
  EXPECT_EQ(old.tail, 0);
  EXPECT_EQ(old.afterPart, 13);
}

TEST(FieldMapTest, FailuresKeepWhatWasReadAndWholeFieldsChangeAllOrNone) {
  const std::string bytes = HandWritten(Filled());
  struct TCase {
    const char* what;
    size_t cut;  // bytes left off the end
    TPartRead part;
    bool read;
    int32_t whole1;
    int32_t afterPart;
  };
  const TCase cases[] = {
      {"cut inside the whole fields", 1 + 4 + 2, TPartRead::Read, false, 0, 0},
      {"a part that fails", 0, TPartRead::Failed, false, 11, 13},
      {"a part that leaves the rest unread", 0, TPartRead::RestUnread, true, 11, 0},
  };
  for (const TCase& c : cases) {
    TAllKinds target;
    target.partRead = c.part;
    EXPECT_EQ(Read(bytes.substr(0, bytes.size() - c.cut), target), c.read) << c.what;
    EXPECT_EQ(target.integer, -5) << c.what;
    EXPECT_EQ(target.whole1, c.whole1) << c.what;
    EXPECT_EQ(target.afterPart, c.afterPart) << c.what;
  }
}

TEST(FieldMapTest, ChunkListReadsEveryChunkWhateverOneOfThemDoes) {
  TMemoryStream bytes;
  {
    TCSFStreamWinTypes stream(bytes, CSFMode::Create);
    for (int32_t id = 1; id <= 3; ++id) {
      stream.BeginChunk(id);
      stream.WriteInteger(id * 10);
      stream.EndChunk();
    }
    stream.Release();
  }
  bytes.SetPosition(0);
  TCSFStreamWinTypes stream(bytes, CSFMode::Read);
  std::string seen;
  EXPECT_FALSE(ReadChunks(stream, [&](int32_t id) {
    if (id == 2) throw ECSFError(kCSFReadError);
    seen += std::to_string(stream.ReadInteger()) + " ";
    return true;
  }));
  EXPECT_EQ(seen, "10 30 ");
}

}  // namespace
}  // namespace nimbra
