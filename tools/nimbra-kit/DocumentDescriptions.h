// Descriptions of the stored files of the system: each turns one kind of file into JSON.
// nimbra-kit inspect picks the description by the file's chunked-stream file type.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

namespace nimbra {
class TStream;
}

namespace nimbra::kit {

using TJson = nlohmann::ordered_json;

// A list of settings bags (file type 1287): every bag with its class and fields.
TJson InspectBagList(TStream& stream);
// One bag stored alone, without a header, as settings values are.
TJson InspectSingleBag(TStream& stream, const std::string& bagClass, int32_t fileVersion);

// A slideshow document (file type 1281): its load result, the document's bags and its object
// tree. A document that stops loading part way shows what was read, with its result code.
TJson InspectSlideShow(TStream& stream);
// The document as an indented tree of objects under its settings.
void PrintSlideShowOutline(const TJson& description, std::ostream& out);
// A template project (file type 1289): the project bag, the templates with their elements, and
// the structure tree.
TJson InspectTemplateProject(TStream& stream);
void PrintTemplateProjectOutline(const TJson& description, std::ostream& out);

// A text in double quotes for the outlines: quotes and line breaks escaped, backslashes (stored
// Windows paths) left as they are.
std::string QuotedText(const std::string& text);

}  // namespace nimbra::kit
