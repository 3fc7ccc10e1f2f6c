// Reading the members of one JSON object of a layout: each member is asked for by name and kind,
// and a member nobody asked for is a mistake (most often a misspelt name), reported at its line.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "layouts/LayoutJson.h"
#include "raster/Bitmap32.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

class TLayoutFields {
 public:
  // what names the object in messages ("a picture element"); raises when the value is no object.
  TLayoutFields(const TJsonValue& object, std::string what);

  const TJsonValue& Object() const { return object_; }
  const std::string& What() const { return what_; }
  bool Has(std::string_view name) const { return object_.Find(name) != nullptr; }

  // The member, checked to be of the kind; none when it is absent and not required.
  const TJsonValue* Get(std::string_view name, TJsonKind kind, bool required = false);
  std::string Text(std::string_view name, const std::string& fallback, bool required = false);
  bool Boolean(std::string_view name, bool fallback);
  // A number within [low, high].
  double Number(std::string_view name, double fallback, double low, double high);
  // A whole number within [low, high].
  int64_t Integer(std::string_view name, int64_t fallback, int64_t low, int64_t high);
  // "#RRGGBB" or "#AARRGGBB"; absent: the fallback. With allowNone, null or false stand for no
  // colour at all.
  std::optional<TColor32> Color(std::string_view name, std::optional<TColor32> fallback,
                                bool allowNone = false);
  // [left, top, right, bottom] as fractions of the page (or of what of names); required
  // unless there is a fallback.
  TDoubleRect Rect(std::string_view name, std::string_view of = "the page",
                   std::optional<TDoubleRect> fallback = std::nullopt);
  // One of the words; its index.
  size_t Choice(std::string_view name, std::initializer_list<std::string_view> words,
                size_t fallback);

  // Raises for the first member that was not asked for.
  void CheckAllUsed() const;

  [[noreturn]] void Fail(const TJsonValue& at, const std::string& what) const;

 private:
  const TJsonValue& object_;
  std::string what_;
  std::set<std::string, std::less<>> used_;
};

}  // namespace nimbra
