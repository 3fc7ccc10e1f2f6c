// Settings bags the framework tests store, copy and look up.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Properties.h"

namespace nimbra::test {

// Number and Text in one sub-chunk; Ratio follows in the same sub-chunk from file version 300 on.
class TTestBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  int32_t Number = 7;
  std::string Text = "Vorgabe";
  double Ratio = 0.5;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

// Stores its volume as 32 bits but reads data older than version 772 as a single byte, like the
// fade settings do: a copy must be read back as the newest version.
class TWidthBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  int32_t Volume = 100;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

// The same stored class, "TVersionedBag", as an older program knew it (one sub-chunk) and as a
// newer one writes it (a second sub-chunk appended).
class TOlderBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  int32_t First = 1;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

class TNewerBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  int32_t First = 1;
  std::string Second = "zwei";

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

// A bag whose writer fails after writing part of its fields.
class TFailingBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  bool WriteToStream(TCSFStream& stream) const override;
};

// A bag no reading list holds.
class TUnknownBag : public TTestBag {
  NIMBRA_DECLARE_PLUGIN()
};

}  // namespace nimbra::test
