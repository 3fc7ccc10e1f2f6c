#include "nimbra-kit/ReadableJson.h"

#include <ostream>
#include <string>

namespace nimbra::kit {

namespace {

using TJson = nlohmann::ordered_json;

bool IsScalar(const TJson& value) {
  return !value.is_object() && !value.is_array();
}

std::string ScalarText(const TJson& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return "-";
  return value.dump();
}

void PrintValue(const TJson& value, int depth, std::ostream& out);

void PrintEntry(const std::string& label, const TJson& value, int depth, std::ostream& out) {
  const std::string indent(static_cast<size_t>(depth) * 2, ' ');
  if (IsScalar(value)) {
    out << indent << label << ": " << ScalarText(value) << "\n";
  } else if (value.empty()) {
    out << indent << label << ": " << (value.is_array() ? "(none)" : "{}") << "\n";
  } else {
    out << indent << label << ":\n";
    PrintValue(value, depth + 1, out);
  }
}

void PrintValue(const TJson& value, int depth, std::ostream& out) {
  if (value.is_object()) {
    for (const auto& [key, item] : value.items()) PrintEntry(key, item, depth, out);
  } else if (value.is_array()) {
    for (size_t i = 0; i < value.size(); ++i)
      PrintEntry("- " + std::to_string(i + 1), value[i], depth, out);
  } else {
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << ScalarText(value) << "\n";
  }
}

}  // namespace

void PrintReadable(const TJson& value, std::ostream& out) {
  PrintValue(value, 0, out);
}

}  // namespace nimbra::kit
