// Inspection of the stored files of the system: each inspector turns one kind of file into a JSON
// description. nimbra-kit inspect picks the inspector by the file's chunked-stream file type.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace nimbra {
class TStream;
}

namespace nimbra::kit {

using Json = nlohmann::ordered_json;

// A list of settings bags (file type 1287): every bag with its class and fields.
Json InspectBagList(TStream& stream);
// One bag stored alone, without a header, as settings values are.
Json InspectSingleBag(TStream& stream, const std::string& bagClass, int32_t fileVersion);

}  // namespace nimbra::kit
