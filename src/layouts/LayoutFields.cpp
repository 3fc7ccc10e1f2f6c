#include "layouts/LayoutFields.h"

#include <cmath>
#include <cstdio>

namespace nimbra {

namespace {

// 0.5 rather than 0.500000.
std::string NumberText(double number) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", number);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TLayoutFields::TLayoutFields(const TJsonValue& object, std::string what)
    : object_(object), what_(std::move(what)) {
  if (object.Kind != TJsonKind::Object) {
    throw ELayoutError(object.Line,
                       what_ + " should be an object {...}, not " + KindName(object.Kind));
  }
}

void TLayoutFields::Fail(const TJsonValue& at, const std::string& what) const {
  throw ELayoutError(at.Line, what);
}

const TJsonValue* TLayoutFields::Get(std::string_view name, TJsonKind kind, bool required) {
  used_.emplace(name);
  const TJsonValue* value = object_.Find(name);
  if (value == nullptr) {
    if (required) Fail(object_, what_ + " needs \"" + std::string(name) + "\"");
    return nullptr;
  }
  if (value->Kind != kind) {
    Fail(*value, "\"" + std::string(name) + "\" of " + what_ + " should be " + KindName(kind) +
                     ", not " + KindName(value->Kind));
  }
  return value;
}

std::string TLayoutFields::Text(std::string_view name, const std::string& fallback, bool required) {
  const TJsonValue* value = Get(name, TJsonKind::String, required);
  return value != nullptr ? value->Text : fallback;
}

bool TLayoutFields::Boolean(std::string_view name, bool fallback) {
  const TJsonValue* value = Get(name, TJsonKind::Boolean);
  return value != nullptr ? value->Boolean : fallback;
}

double TLayoutFields::Number(std::string_view name, double fallback, double low, double high) {
  const TJsonValue* value = Get(name, TJsonKind::Number);
  if (value == nullptr) return fallback;
  if (!(value->Number >= low && value->Number <= high)) {
    Fail(*value, "\"" + std::string(name) + "\" of " + what_ + " should lie between " +
                     NumberText(low) + " and " + NumberText(high));
  }
  return value->Number;
}

int64_t TLayoutFields::Integer(std::string_view name, int64_t fallback, int64_t low, int64_t high) {
  const TJsonValue* value = Get(name, TJsonKind::Number);
  if (value == nullptr) return fallback;
  const double number = value->Number;
  if (number != std::floor(number) || number < static_cast<double>(low) ||
      number > static_cast<double>(high)) {
    Fail(*value, "\"" + std::string(name) + "\" of " + what_ + " should be a whole number from " +
                     std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<int64_t>(number);
}

std::optional<TColor32> TLayoutFields::Color(std::string_view name,
                                             std::optional<TColor32> fallback, bool allowNone) {
  used_.emplace(name);
  const TJsonValue* value = object_.Find(name);
  if (value == nullptr) return fallback;
  const bool none =
      value->Kind == TJsonKind::Null || (value->Kind == TJsonKind::Boolean && !value->Boolean);
  if (none && allowNone) return std::nullopt;
  const std::string& text = value->Text;
  if (value->Kind == TJsonKind::String && text.starts_with('#') &&
      (text.size() == 7 || text.size() == 9)) {
    uint32_t colour = 0;
    bool digits = true;
    for (size_t i = 1; i < text.size() && digits; ++i) {
      const int digit = HexDigit(text[i]);
      digits = digit >= 0;
      colour = (colour << 4) | static_cast<uint32_t>(digits ? digit : 0);
    }
    if (digits) return text.size() == 7 ? (0xFF000000u | colour) : colour;
  }
  Fail(*value, "\"" + std::string(name) + "\" of " + what_ +
                   " should be a colour \"#RRGGBB\" or \"#AARRGGBB\"" +
                   (allowNone ? " (or false for none)" : ""));
}

TDoubleRect TLayoutFields::Rect(std::string_view name, std::string_view of,
                                std::optional<TDoubleRect> fallback) {
  const TJsonValue* found = Get(name, TJsonKind::Array, !fallback);
  if (found == nullptr) return *fallback;
  const TJsonValue& value = *found;
  const std::string message = "\"" + std::string(name) + "\" of " + what_ +
                              " should be [left, top, right, bottom] as fractions of " +
                              std::string(of);
  if (value.Items.size() != 4) Fail(value, message);
  double edges[4];
  for (size_t i = 0; i < 4; ++i) {
    const TJsonValue& edge = value.Items[i];
    // A little beyond the page is allowed, for pictures that run off its edge.
    if (edge.Kind != TJsonKind::Number || !(edge.Number >= -1 && edge.Number <= 2)) {
      Fail(edge, message + ", each from -1 to 2");
    }
    edges[i] = edge.Number;
  }
  if (!(edges[0] < edges[2]) || !(edges[1] < edges[3])) {
    Fail(value, message + "; left must lie before right and top above bottom");
  }
  return TDoubleRect{edges[0], edges[1], edges[2], edges[3]};
}

size_t TLayoutFields::Choice(std::string_view name, std::initializer_list<std::string_view> words,
                             size_t fallback) {
  const TJsonValue* value = Get(name, TJsonKind::String);
  if (value == nullptr) return fallback;
  size_t index = 0;
  std::string list;
  for (std::string_view word : words) {
    if (value->Text == word) return index;
    list += (index == 0 ? "\"" : ", \"") + std::string(word) + "\"";
    ++index;
  }
  Fail(*value, "\"" + std::string(name) + "\" of " + what_ + " should be one of " + list +
                   ", not \"" + value->Text + "\"");
}

void TLayoutFields::CheckAllUsed() const {
  for (const auto& [name, value] : object_.Members) {
    if (used_.find(name) == used_.end()) {
      Fail(value, "unknown field \"" + name + "\" in " + what_);
    }
  }
}

}  // namespace nimbra
