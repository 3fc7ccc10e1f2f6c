// The chunked stream with the Windows record types that documents store: font records and
// rectangles of four doubles. Documents, packages and settings bags are read and written with it.
#pragma once

#include <optional>

#include "storage/CSFStream.h"

namespace nimbra {

inline constexpr uint8_t kFontStyleBold = 1;
inline constexpr uint8_t kFontStyleItalic = 2;
inline constexpr uint8_t kFontStyleUnderline = 4;
inline constexpr uint8_t kFontStyleStrikeOut = 8;

struct TFontRecord {
  int32_t Color = 0;  // a Windows colour value
  std::string Name;
  int32_t Size = 0;   // points
  uint8_t Style = 0;  // kFontStyle* bits

  bool operator==(const TFontRecord&) const = default;
};

struct TDoubleRect {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;

  bool operator==(const TDoubleRect&) const = default;
};

class TCSFStreamWinTypes : public TCSFStream {
 public:
  using TCSFStream::TCSFStream;

  // No font is the record length -1.
  void WriteFont(const std::optional<TFontRecord>& font);
  std::optional<TFontRecord> ReadFont();
  void WriteDoubleRect(const TDoubleRect& rect);
  TDoubleRect ReadDoubleRect();

 protected:
  std::unique_ptr<TCSFStream> CreateSameClass(std::unique_ptr<TStream> base,
                                              CSFMode mode) const override;
};

// The stream as one with the Windows record types; raises ENimbraError for any other, which has
// no way to store a font.
TCSFStreamWinTypes& RecordTypesOf(TCSFStream& stream);

// The Windows record types on a disk file the stream opens by mode and owns.
class TCSFFileWinTypes : public TCSFStreamWinTypes {
 public:
  TCSFFileWinTypes(const std::string& fileName, CSFMode mode);
};

}  // namespace nimbra
