// One list of a stored class's fields that serves writing, reading and describing. A class names
// its fields once, in stored order, in its MapFields; the map it is handed decides what happens to
// each: the writing map puts it on a chunked stream, the reading map takes it from one, the
// describing map shows it to tools. Sub-chunks, fields later layouts added and fields read all or
// none are said in the same list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace nimbra {

class TCSFStream;
class TFieldWriter;
struct TDoubleRect;
struct TFontRecord;

// How a stored part was read. RestUnread: the part's data has no reader here (an unknown class), so
// nothing after it in the same stored form can be found, and what follows stays unread.
enum class TPartRead { Read, Failed, RestUnread };

inline TPartRead PartRead(bool read) {
  return read ? TPartRead::Read : TPartRead::Failed;
}

// A piece of a stored form with a layout of its own (a list, an object stored by class name): its
// writer and its reader, defined side by side where the part is, and what tools are shown of it.
// A writer's false and a reader's Failed fail the whole write or read, but the fields after them
// are still written or read.
struct TStoredPart {
  std::function<bool(TCSFStream&)> Write;
  std::function<TPartRead(TCSFStream&)> Read;
  // None: tools are not shown the part.
  std::function<void(std::string_view name, TFieldWriter&)> Describe;
};

class TFieldMap {
 public:
  virtual ~TFieldMap() = default;

  // Values at their stored width. Bytes and cardinals are shown to tools as integers.
  virtual void Boolean(std::string_view name, bool& value) = 0;
  virtual void Byte(std::string_view name, uint8_t& value) = 0;
  virtual void Integer(std::string_view name, int32_t& value) = 0;
  virtual void Cardinal(std::string_view name, uint32_t& value) = 0;
  // A cardinal that is a colour (0xAARRGGBB).
  virtual void Color(std::string_view name, uint32_t& argb) = 0;
  virtual void Single(std::string_view name, float& value) = 0;
  virtual void Double(std::string_view name, double& value) = 0;
  virtual void String(std::string_view name, std::string& value) = 0;
  // Four doubles: left, top, right, bottom.
  virtual void Rect(std::string_view name, TDoubleRect& rect) = 0;
  // A font record of the Windows record types (other streams fail); a stored "no font" keeps the
  // font there is.
  virtual void Font(std::string_view name, TFontRecord& font) = 0;
  // A 32-bit value that older layouts stored in one byte; writers never take this form.
  virtual void ByteInteger(std::string_view name, int32_t& value) = 0;
  // Raw bytes up to the end of the frame they close (a sub-chunk of their own, mostly); they are
  // stored without a length.
  virtual void RemainingBytes(std::string_view name, std::string& bytes) = 0;

  // A value kept in another form than it is stored in: text is written and shown; what is read is
  // handed to take, whose false fails the read.
  virtual void Text(std::string_view name, const std::string& text,
                    const std::function<bool(std::string)>& take) = 0;
  virtual void RemainingBytes(std::string_view name, const std::string& bytes,
                              const std::function<bool(std::string)>& take) = 0;
  virtual void Part(std::string_view name, const TStoredPart& part) = 0;

  // Fields in a sub-chunk of their own, so that a reader skips what a newer writer appended.
  virtual void SubChunk(const std::function<void()>& fields) = 0;
  // Fields read all or none: when reading fails among them, none of them changes. (Parts among
  // them are read at once.)
  virtual void Whole(const std::function<void()>& fields) = 0;
  // Whether the stream being read holds what its layout added at some point; writers write the
  // newest layout, so writing and describing always do.
  virtual bool Has(const std::function<bool(TCSFStream&)>& layoutHasIt) = 0;
  // The fields a document version added.
  bool Since(int32_t fileVersion);
  // Whether the sub-chunk being read holds more: older writers stopped earlier.
  bool More();
  // Only the writing map: for the rules that apply when a class is written.
  virtual bool Writes() const { return false; }

  // A sub-chunk holding nothing but the bytes.
  void SubChunkBytes(std::string_view name, std::string& bytes) {
    SubChunk([&] { RemainingBytes(name, bytes); });
  }
};

// Writes, reads and describes an object with a MapFields(TFieldMap&) member; the writing and
// describing maps leave the object as it is. Writing and reading report a stream's failure (an
// ENimbraError or a failed allocation) and a part's as false; any other exception is a broken
// invariant and passes.
bool WriteFieldsWith(TCSFStream& stream, const std::function<void(TFieldMap&)>& fields);
bool ReadFieldsWith(TCSFStream& stream, const std::function<void(TFieldMap&)>& fields);
void DescribeFieldsWith(TFieldWriter& writer, const std::function<void(TFieldMap&)>& fields);

template <typename T>
bool WriteFields(TCSFStream& stream, const T& object) {
  // Mapping takes the fields by reference for all three directions; writing only reads them.
  return WriteFieldsWith(stream,
                         [&object](TFieldMap& map) { const_cast<T&>(object).MapFields(map); });
}

template <typename T>
bool ReadFields(TCSFStream& stream, T& object) {
  return ReadFieldsWith(stream, [&object](TFieldMap& map) { object.MapFields(map); });
}

template <typename T>
void DescribeFieldsOf(TFieldWriter& writer, const T& object) {
  DescribeFieldsWith(writer, [&object](TFieldMap& map) { const_cast<T&>(object).MapFields(map); });
}

}  // namespace nimbra
