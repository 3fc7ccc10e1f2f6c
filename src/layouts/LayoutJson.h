// The JSON text of a layout, read into values that remember the line they began on, so that the
// layout reader can say where a mistake is. Only what JSON allows is accepted; the text comes from
// anyone, so nesting, length and numbers are checked before anything is built from them.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "storage/NimbraError.h"

namespace nimbra {

// A mistake in a layout: the line it was found on (1-based) and what is wrong.
class ELayoutError : public ENimbraError {
 public:
  ELayoutError(int line, const std::string& what);

  int Line() const { return line_; }
  // What is wrong, without the line.
  const std::string& Reason() const { return reason_; }

 private:
  int line_;
  std::string reason_;
};

enum class TJsonKind { Null, Boolean, Number, String, Array, Object };

struct TJsonMember;

struct TJsonValue {
  TJsonKind Kind = TJsonKind::Null;
  int Line = 1;
  bool Boolean = false;
  double Number = 0;
  std::string Text;
  std::vector<TJsonValue> Items;
  // In the order written; a name appears at most once.
  std::vector<TJsonMember> Members;

  // Declared here and defined where the member is complete.
  TJsonValue();
  TJsonValue(const TJsonValue&);
  TJsonValue(TJsonValue&&) noexcept;
  TJsonValue& operator=(const TJsonValue&);
  TJsonValue& operator=(TJsonValue&&) noexcept;
  ~TJsonValue();

  // The member of that name, or none.
  const TJsonValue* Find(std::string_view name) const;
};

struct TJsonMember {
  std::string Name;
  TJsonValue Value;
};

// Deeper nesting is refused rather than followed.
inline constexpr int kMaxLayoutJsonDepth = 64;
// Longer texts are refused before they are read.
inline constexpr size_t kMaxLayoutJsonSize = 4 * 1024 * 1024;

// The one value the text holds; raises ELayoutError for anything JSON does not allow, for a name
// given twice in one object and for a text with more than one value.
TJsonValue ParseLayoutJson(std::string_view text);

// "a string", "a number", ... for messages.
std::string KindName(TJsonKind kind);

}  // namespace nimbra
