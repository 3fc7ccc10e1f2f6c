#include "TestBags.h"

#include "storage/CSFStream.h"

namespace nimbra::test {

NIMBRA_DEFINE_PLUGIN(TTestBag, TProperties)
NIMBRA_DEFINE_PLUGIN(TWidthBag, TProperties)
NIMBRA_DEFINE_PLUGIN(TFailingBag, TProperties)
NIMBRA_DEFINE_PLUGIN(TUnknownBag, TTestBag)

const TPluginClass& TOlderBag::StaticClass() {
  static const TPluginClassOf<TOlderBag> meta("TVersionedBag", &TProperties::StaticClass());
  return meta;
}

const TPluginClass& TNewerBag::StaticClass() {
  static const TPluginClassOf<TNewerBag> meta("TVersionedBag", &TProperties::StaticClass());
  return meta;
}

bool TTestBag::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk fields(stream);
    stream.WriteInteger(Number);
    stream.WriteString(Text);
    stream.WriteDouble(Ratio);
    fields.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TTestBag::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk fields(stream);
    Number = stream.ReadInteger();
    Text = stream.ReadString();
    if (stream.FileVersion() >= 300) Ratio = stream.ReadDouble();
    return true;
  } catch (...) {
    return false;
  }
}

bool TWidthBag::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteInteger(Volume);
    return true;
  } catch (...) {
    return false;
  }
}

bool TWidthBag::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    Volume = stream.FileVersion() < 772 ? stream.ReadByte() : stream.ReadInteger();
    return true;
  } catch (...) {
    return false;
  }
}

bool TOlderBag::WriteToStream(TCSFStream& stream) const {
  try {
    TWriteSubChunk fields(stream);
    stream.WriteInteger(First);
    fields.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TOlderBag::ReadFromStream(TCSFStream& stream) {
  try {
    TReadSubChunk fields(stream);
    First = stream.ReadInteger();
    return true;
  } catch (...) {
    return false;
  }
}

bool TNewerBag::WriteToStream(TCSFStream& stream) const {
  try {
    TWriteSubChunk first(stream);
    stream.WriteInteger(First);
    first.End();
    TWriteSubChunk second(stream);
    stream.WriteString(Second);
    second.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TNewerBag::ReadFromStream(TCSFStream& stream) {
  try {
    {
      TReadSubChunk first(stream);
      First = stream.ReadInteger();
    }
    TReadSubChunk second(stream);
    Second = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

bool TFailingBag::WriteToStream(TCSFStream& stream) const {
  stream.WriteInteger(1);
  return false;
}

}  // namespace nimbra::test
