// Prints a JSON value as an indented outline a person can read: "key: value" lines, nested objects
// and lists indented below their key.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>

namespace nimbra::kit {

void PrintReadable(const nlohmann::ordered_json& value, std::ostream& out);

}  // namespace nimbra::kit
