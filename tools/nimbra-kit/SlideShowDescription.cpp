#include <ostream>

#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/JsonFieldWriter.h"
#include "nimbra-kit/ReadableJson.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"
#include "slideshow/SlideShowProperties.h"
#include "storage/CSFStream.h"

namespace nimbra::kit {

namespace {

TJson DescribeObjects(const TSlideShowObjectList& list);

// The stored name, the text and the keywords only where the kind has them, so that "no file" and
// "an empty file name" stay apart; keywords are always listed (null for a kind without any).
TJson DescribeObject(TSlideShowObject& object) {
  TJson json;
  json["class"] = object.ClassName();
  json["path"] = object.PathText();
  json["index"] = object.Index();
  json["active"] = object.Active();
  json["duration"] = object.Duration();
  if (const auto* files = Supports<IFileReferences>(&object)) {
    json["fileName"] = files->GetStoredFileName();
  }
  if (const auto* text = Supports<IText>(&object)) {
    json["text"] = text->Text();
  } else if (const auto* chapter = Supports<IChapter>(&object)) {
    json["text"] = chapter->ChapterText();
  }
  const auto* keywords = Supports<IKeywords>(&object);
  json["keywords"] = keywords != nullptr ? TJson(keywords->Keywords()) : TJson();
  // The reader refuses nesting deeper than kMaxObjectNesting, so this recursion is bounded.
  if (const TSlideShowObjectList* children = ChildrenOf(&object)) {
    json["children"] = DescribeObjects(*children);
  }
  return json;
}

TJson DescribeObjects(const TSlideShowObjectList& list) {
  TJson objects = TJson::array();
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (TSlideShowObject* object = list.Items(i)) objects.push_back(DescribeObject(*object));
  }
  return objects;
}

TJson DescribeSettings(const TSlideShowProperties& settings) {
  TJson fields = TJson::object();
  TJsonFieldWriter writer(fields);
  settings.DescribeFields(writer);
  return fields;
}

TJson DescribeInfo(const TSlideShowInfoProperties& info) {
  return {{"title", info.Title()},
          {"author", info.Author()},
          {"description", info.Description()},
          {"copyright", info.Copyright()}};
}

TJson DescribeMusic(const TMusicProperties& music) {
  TJson playList = TJson::array();
  for (int i = 0; i < music.PlayList().Count(); ++i) {
    const TMusicPlayListItem& item = music.PlayList().Items(i);
    playList.push_back({{"fileName", item.FileName()},
                        {"itemVolume", item.ItemVolume()},
                        {"gapAfter", item.GapAfter()},
                        {"fileLength", item.FileLength()}});
  }
  return {{"musicOn", music.MusicOn()},
          {"musicVolume", music.MusicVolume()},
          {"fadeOutDuration", music.FadeOutDuration()},
          {"playList", std::move(playList)}};
}

std::string ResultText(int32_t result) {
  switch (static_cast<TSlideShowLoad>(result)) {
    case TSlideShowLoad::Loaded: return "read";
    case TSlideShowLoad::NotReadable: return "not readable to the end; what was read is shown";
    case TSlideShowLoad::TooOld: return "too old to read";
    case TSlideShowLoad::LoadedWithMarker: return "read, with the marker";
    default: return "unknown";
  }
}

// "1.2 TExtPicSlideShowObject, 5000 ms, file: \"a.jpg\"", then the children one level deeper.
void PrintObjects(const TJson& objects, int depth, std::ostream& out) {
  for (const TJson& object : objects) {
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << object["path"].get<std::string>()
        << " " << object["class"].get<std::string>() << ", " << object["duration"] << " ms";
    if (!object["active"].get<bool>()) out << ", inactive";
    if (object.contains("text")) out << ", text: " << QuotedText(object["text"].get<std::string>());
    if (object.contains("fileName"))
      out << ", file: " << QuotedText(object["fileName"].get<std::string>());
    if (object["keywords"].is_string() && !object["keywords"].get<std::string>().empty()) {
      out << ", keywords: " << QuotedText(object["keywords"].get<std::string>());
    }
    if (object.contains("children")) {
      const size_t count = object["children"].size();
      out << ", "
          << (count == 0 ? std::string("no objects")
                         : std::to_string(count) + (count == 1 ? " object" : " objects"));
    }
    out << "\n";
    if (object.contains("children")) PrintObjects(object["children"], depth + 1, out);
  }
}

}  // namespace

std::string QuotedText(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        quoted += c;
    }
  }
  return quoted + "\"";
}

TJson InspectSlideShow(TStream& stream) {
  TJson json;
  {
    TCSFStream header(stream, CSFMode::Read);
    json["fileType"] = header.FileType();
    json["fileVersion"] = header.FileVersion();
  }
  stream.SetPosition(0);
  TSlideShow slideShow;
  json["result"] = static_cast<int32_t>(slideShow.LoadFromStream(stream));
  json["marker"] = slideShow.Marker();
  json["settings"] = DescribeSettings(slideShow.SlideShowProperties());
  json["info"] = DescribeInfo(slideShow.SlideShowInfoProperties());
  json["music"] = DescribeMusic(slideShow.MusicProperties());
  json["objects"] = DescribeObjects(slideShow.RootList());
  return json;
}

void PrintSlideShowOutline(const TJson& description, std::ostream& out) {
  const int32_t result = description["result"].get<int32_t>();
  out << "slideshow document: file type " << description["fileType"] << ", version "
      << description["fileVersion"] << "\n"
      << "result: " << result << " (" << ResultText(result) << ")\n";
  PrintReadable({{"marker", description["marker"]},
                 {"settings", description["settings"]},
                 {"info", description["info"]},
                 {"music", description["music"]}},
                out);
  if (description["objects"].empty()) {
    out << "objects: (none)\n";
    return;
  }
  out << "objects:\n";
  PrintObjects(description["objects"], 1, out);
}

}  // namespace nimbra::kit
