#include "slideshow/SlideShowObjectVariables.h"

#include <sys/stat.h>

#include <chrono>
#include <new>
#include <optional>
#include <string>

#include "framework/ApplicationInfo.h"
#include "framework/Plugins.h"
#include "slideshow/DateTimeFormat.h"
#include "slideshow/Exif.h"
#include "slideshow/MetadataKeys.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"

namespace nimbra {

NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectVariablePlugin, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectTextVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectKeywordsVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectSlideShowTitleVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectSlideShowDescriptionVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectSlideShowAuthorVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectSlideShowCopyrightVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectPositionVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureYearVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureMonthVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureDayVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureHourVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureMinuteVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureSecondVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureDateVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectCaptureTimeVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectDateVariablePlugin, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectTimeVariablePlugin, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectFilenameVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectPathVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectPicCommentVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectExifCommentVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectIPTCVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectEXIFVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowObjectFiledateVariablePlugin,
                              TSlideShowObjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSlideShowCreatorAppVariablePlugin, TSlideShowObjectVariablePlugin)

namespace {

// A value that cannot be had is empty text: a variable never makes a caption fail.
template <typename F>
std::string EmptyOnFailure(F&& value) {
  try {
    return value();
  } catch (const ENimbraError&) {
    return {};
  } catch (const std::bad_alloc&) {
    return {};
  }
}

const TSlideShowInfoProperties* InfoOf(TObject* object) {
  const auto* slideShowObject = dynamic_cast<const TSlideShowObject*>(object);
  const TSlideShow* document = slideShowObject != nullptr ? slideShowObject->SlideShow() : nullptr;
  return document != nullptr ? &document->SlideShowInfoProperties() : nullptr;
}

// The part of a name after its last folder separator or package mark.
std::string NameWithoutFolder(const std::string& name) {
  const size_t separator = name.find_last_of("\\/|");
  return separator == std::string::npos ? name : name.substr(separator + 1);
}

// The metadata record of a picture; none for other objects and pictures without one.
const TExif* RecordOf(TObject* object) {
  auto* source = dynamic_cast<IExifSource*>(object);
  return source != nullptr ? source->Exif() : nullptr;
}

// A part of the capture date in decimal; empty where the record has none, since a made-up -1 on
// a wallpaper helps nobody.
std::string CapturePartText(TObject* object, int32_t (TExif::*part)() const) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    const int32_t value = record != nullptr ? (record->*part)() : -1;
    return value >= 0 ? std::to_string(value) : std::string();
  });
}

// Where an object's file lies. A photo inside an album package has no folder or date on disk: it
// is known by its stored name alone.
struct TObjectFile {
  std::string Name;
  std::string Folder;
  bool OnDisk = false;
};

std::optional<TObjectFile> FileOf(TObject* object) {
  const auto* references = dynamic_cast<const IFileReferences*>(object);
  if (references == nullptr) return std::nullopt;
  const std::string stored = references->GetStoredFileName();
  const auto* slideShowObject = dynamic_cast<const TSlideShowObject*>(object);
  const TSlideShow* document = slideShowObject != nullptr ? slideShowObject->SlideShow() : nullptr;
  if (TFileAccess::IsPackageName(stored) ||
      (document != nullptr && TFileAccess::IsPackageName(document->FileName()))) {
    if (stored.empty()) return std::nullopt;
    return TObjectFile{NameWithoutFolder(stored), {}, false};
  }
  const std::string resolved = references->GetFileName();
  if (resolved.empty()) return std::nullopt;
  const size_t slash = resolved.rfind('/');
  if (slash == std::string::npos) return TObjectFile{resolved, {}, true};
  return TObjectFile{resolved.substr(slash + 1), resolved.substr(0, slash + 1), true};
}

// Guards the text variable against a text that names itself: inside its own expansion %text% is
// left as written instead of expanding the text again without end.
thread_local int expandingText = 0;

}  // namespace

const TMetaClass* TSlideShowObjectVariablePlugin::ClassContextClass() {
  return &TSlideShowObject::StaticClass();
}

// ---- the object and its document ----

std::string TSlideShowObjectTextVariablePlugin::ClassKeyList(TObject*) {
  return "text";
}

std::string TSlideShowObjectTextVariablePlugin::ClassGetValue(TObject* object,
                                                              const std::string& key) {
  const auto* text = dynamic_cast<const IText*>(object);
  if (text == nullptr) return {};
  if (expandingText > 0) return "%" + key + "%";
  ++expandingText;
  struct TLeave {
    ~TLeave() { --expandingText; }
  } leave;
  return SubstituteVariables(MainPlugins(), object, text->Text());
}

std::string TSlideShowObjectKeywordsVariablePlugin::ClassKeyList(TObject*) {
  return "keywords\r\nstichworte";
}

std::string TSlideShowObjectKeywordsVariablePlugin::ClassGetValue(TObject* object,
                                                                  const std::string&) {
  const auto* keywords = dynamic_cast<const IKeywords*>(object);
  return keywords != nullptr ? keywords->Keywords() : std::string();
}

std::string TSlideShowObjectSlideShowTitleVariablePlugin::ClassKeyList(TObject*) {
  return "slideshowtitle\r\nvistratitel";
}

std::string TSlideShowObjectSlideShowTitleVariablePlugin::ClassGetValue(TObject* object,
                                                                        const std::string&) {
  const TSlideShowInfoProperties* info = InfoOf(object);
  if (info == nullptr) return {};
  if (!info->Title().empty()) return info->Title();
  return NameWithoutFolder(dynamic_cast<const TSlideShowObject&>(*object).SlideShow()->FileName());
}

std::string TSlideShowObjectSlideShowDescriptionVariablePlugin::ClassKeyList(TObject*) {
  return "description\r\nbeschreibung";
}

std::string TSlideShowObjectSlideShowDescriptionVariablePlugin::ClassGetValue(TObject* object,
                                                                              const std::string&) {
  const TSlideShowInfoProperties* info = InfoOf(object);
  return info != nullptr ? info->Description() : std::string();
}

std::string TSlideShowObjectSlideShowAuthorVariablePlugin::ClassKeyList(TObject*) {
  return "author\r\nautor";
}

std::string TSlideShowObjectSlideShowAuthorVariablePlugin::ClassGetValue(TObject* object,
                                                                         const std::string&) {
  const TSlideShowInfoProperties* info = InfoOf(object);
  return info != nullptr ? info->Author() : std::string();
}

std::string TSlideShowObjectSlideShowCopyrightVariablePlugin::ClassKeyList(TObject*) {
  return "copyright";
}

std::string TSlideShowObjectSlideShowCopyrightVariablePlugin::ClassGetValue(TObject* object,
                                                                            const std::string&) {
  const TSlideShowInfoProperties* info = InfoOf(object);
  return info != nullptr ? info->Copyright() : std::string();
}

std::string TSlideShowObjectPositionVariablePlugin::ClassKeyList(TObject*) {
  return "position";
}

std::string TSlideShowObjectPositionVariablePlugin::ClassGetValue(TObject* object,
                                                                  const std::string&) {
  const auto* slideShowObject = dynamic_cast<const TSlideShowObject*>(object);
  return slideShowObject != nullptr ? slideShowObject->PathText() : std::string();
}

// ---- capture date and time ----

std::string TSlideShowObjectCaptureYearVariablePlugin::ClassKeyList(TObject*) {
  return "captureyear\r\naufnahmejahr";
}

std::string TSlideShowObjectCaptureYearVariablePlugin::ClassGetValue(TObject* object,
                                                                     const std::string&) {
  return CapturePartText(object, &TExif::CaptureYear);
}

std::string TSlideShowObjectCaptureMonthVariablePlugin::ClassKeyList(TObject*) {
  return "capturemonth\r\naufnahmemonat";
}

std::string TSlideShowObjectCaptureMonthVariablePlugin::ClassGetValue(TObject* object,
                                                                      const std::string&) {
  return CapturePartText(object, &TExif::CaptureMonth);
}

std::string TSlideShowObjectCaptureDayVariablePlugin::ClassKeyList(TObject*) {
  return "captureday\r\naufnahmetag";
}

std::string TSlideShowObjectCaptureDayVariablePlugin::ClassGetValue(TObject* object,
                                                                    const std::string&) {
  return CapturePartText(object, &TExif::CaptureDay);
}

std::string TSlideShowObjectCaptureHourVariablePlugin::ClassKeyList(TObject*) {
  return "capturehour\r\naufnahmestunde";
}

std::string TSlideShowObjectCaptureHourVariablePlugin::ClassGetValue(TObject* object,
                                                                     const std::string&) {
  return CapturePartText(object, &TExif::CaptureHour);
}

std::string TSlideShowObjectCaptureMinuteVariablePlugin::ClassKeyList(TObject*) {
  return "captureminute\r\naufnahmeminute";
}

std::string TSlideShowObjectCaptureMinuteVariablePlugin::ClassGetValue(TObject* object,
                                                                       const std::string&) {
  return CapturePartText(object, &TExif::CaptureMinute);
}

std::string TSlideShowObjectCaptureSecondVariablePlugin::ClassKeyList(TObject*) {
  return "capturesecond\r\naufnahmesekunde";
}

std::string TSlideShowObjectCaptureSecondVariablePlugin::ClassGetValue(TObject* object,
                                                                       const std::string&) {
  return CapturePartText(object, &TExif::CaptureSecond);
}

std::string TSlideShowObjectCaptureDateVariablePlugin::ClassKeyList(TObject*) {
  return "capturedate\r\naufnahmedatum";
}

std::string TSlideShowObjectCaptureDateVariablePlugin::ClassGetValue(TObject* object,
                                                                     const std::string&) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    // A record without a readable date has no date to show, not the day before day 0.
    if (record == nullptr || record->CaptureDateTime() == kNoCaptureDateTime) return std::string();
    return FormatShortDate(std::chrono::year_month_day{
        std::chrono::year{record->CaptureYear()},
        std::chrono::month{static_cast<unsigned>(record->CaptureMonth())},
        std::chrono::day{static_cast<unsigned>(record->CaptureDay())}});
  });
}

std::string TSlideShowObjectCaptureTimeVariablePlugin::ClassKeyList(TObject*) {
  return "aufnahmeuhrzeit\r\ncapturetime";
}

std::string TSlideShowObjectCaptureTimeVariablePlugin::ClassGetValue(TObject* object,
                                                                     const std::string&) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    if (record == nullptr) return std::string();
    return FormatLongTime(record->CaptureHour(), record->CaptureMinute(), record->CaptureSecond());
  });
}

// ---- now ----

std::string TSlideShowObjectDateVariablePlugin::ClassKeyList(TObject*) {
  return "date\r\ndatum";
}

std::string TSlideShowObjectDateVariablePlugin::ClassGetValue(TObject*, const std::string&) {
  return FormatShortDate(LocalNow().Date);
}

std::string TSlideShowObjectTimeVariablePlugin::ClassKeyList(TObject*) {
  return "time\r\nuhrzeit";
}

std::string TSlideShowObjectTimeVariablePlugin::ClassGetValue(TObject*, const std::string&) {
  const TLocalDateTime now = LocalNow();
  return FormatLongTime(now.Hour, now.Minute, now.Second);
}

// ---- the object's file ----

std::string TSlideShowObjectFilenameVariablePlugin::ClassKeyList(TObject*) {
  return "filename\r\ndateiname";
}

std::string TSlideShowObjectFilenameVariablePlugin::ClassGetValue(TObject* object,
                                                                  const std::string&) {
  return EmptyOnFailure([&] {
    const std::optional<TObjectFile> file = FileOf(object);
    return file ? file->Name : std::string();
  });
}

std::string TSlideShowObjectPathVariablePlugin::ClassKeyList(TObject*) {
  return "path\r\npfad";
}

std::string TSlideShowObjectPathVariablePlugin::ClassGetValue(TObject* object, const std::string&) {
  return EmptyOnFailure([&] {
    const std::optional<TObjectFile> file = FileOf(object);
    return file ? file->Folder : std::string();
  });
}

std::string TSlideShowObjectFiledateVariablePlugin::ClassKeyList(TObject*) {
  return "filedate\r\ndateidatum";
}

std::string TSlideShowObjectFiledateVariablePlugin::ClassGetValue(TObject* object,
                                                                  const std::string&) {
  return EmptyOnFailure([&] {
    const std::optional<TObjectFile> file = FileOf(object);
    struct stat status {};
    if (!file || !file->OnDisk || stat((file->Folder + file->Name).c_str(), &status) != 0) {
      return std::string();
    }
    return FormatShortDate(LocalDateTime(status.st_mtime).Date);
  });
}

// ---- the picture's metadata ----

std::string TSlideShowObjectPicCommentVariablePlugin::ClassKeyList(TObject*) {
  return "kommentar\r\ncomment";
}

std::string TSlideShowObjectPicCommentVariablePlugin::ClassGetValue(TObject* object,
                                                                    const std::string&) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    return record != nullptr ? record->Comment() : std::string();
  });
}

std::string TSlideShowObjectExifCommentVariablePlugin::ClassKeyList(TObject*) {
  return "exifkommentar\r\nexifcomment";
}

std::string TSlideShowObjectExifCommentVariablePlugin::ClassGetValue(TObject* object,
                                                                     const std::string&) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    return record != nullptr ? record->ExifComment() : std::string();
  });
}

std::string TSlideShowObjectIPTCVariablePlugin::ClassKeyList(TObject*) {
  std::string keys;
  for (const TIptcKey& key : IptcKeyTable()) keys.append("IPTC").append(key.Name).append("\r\n");
  return keys;
}

std::string TSlideShowObjectIPTCVariablePlugin::ClassGetValue(TObject* object,
                                                              const std::string& key) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    if (record == nullptr || key.size() <= 4) return std::string();
    // The key without its "IPTC" prefix.
    return record->IptcValue(std::string_view(key).substr(4));
  });
}

std::string TSlideShowObjectEXIFVariablePlugin::ClassKeyList(TObject*) {
  std::string keys;
  for (const TExifKey& key : ExifKeyTable()) keys.append("EXIF").append(key.Name).append("\r\n");
  return keys;
}

std::string TSlideShowObjectEXIFVariablePlugin::ClassGetValue(TObject* object,
                                                              const std::string& key) {
  return EmptyOnFailure([&] {
    const TExif* record = RecordOf(object);
    if (record == nullptr || key.size() <= 4) return std::string();
    // The key without its "EXIF" prefix.
    return record->ExifValue(std::string_view(key).substr(4));
  });
}

// ---- the application ----

std::string TSlideShowCreatorAppVariablePlugin::ClassKeyList(TObject*) {
  return "CreatorApp";
}

std::string TSlideShowCreatorAppVariablePlugin::ClassGetValue(TObject*, const std::string&) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  if (!info) return {};
  return "Erstellt mit " + info->CompanyName() + " " + info->ProductName();
}

// ---- registration ----

namespace {

std::array<const TPluginClass*, 25> VariableClasses() {
  return {&TSlideShowObjectTextVariablePlugin::StaticClass(),
          &TSlideShowObjectKeywordsVariablePlugin::StaticClass(),
          &TSlideShowObjectSlideShowTitleVariablePlugin::StaticClass(),
          &TSlideShowObjectSlideShowDescriptionVariablePlugin::StaticClass(),
          &TSlideShowObjectSlideShowAuthorVariablePlugin::StaticClass(),
          &TSlideShowObjectSlideShowCopyrightVariablePlugin::StaticClass(),
          &TSlideShowObjectPositionVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureYearVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureMonthVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureDayVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureHourVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureMinuteVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureSecondVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureDateVariablePlugin::StaticClass(),
          &TSlideShowObjectCaptureTimeVariablePlugin::StaticClass(),
          &TSlideShowObjectDateVariablePlugin::StaticClass(),
          &TSlideShowObjectTimeVariablePlugin::StaticClass(),
          &TSlideShowObjectFilenameVariablePlugin::StaticClass(),
          &TSlideShowObjectPathVariablePlugin::StaticClass(),
          &TSlideShowObjectPicCommentVariablePlugin::StaticClass(),
          &TSlideShowObjectExifCommentVariablePlugin::StaticClass(),
          &TSlideShowObjectIPTCVariablePlugin::StaticClass(),
          &TSlideShowObjectEXIFVariablePlugin::StaticClass(),
          &TSlideShowObjectFiledateVariablePlugin::StaticClass(),
          &TSlideShowCreatorAppVariablePlugin::StaticClass()};
}

}  // namespace

void RegisterSlideShowObjectVariables(TPlugins& plugins) {
  for (const TPluginClass* variable : VariableClasses()) plugins.RegisterForStreaming(*variable);
}

void UnregisterSlideShowObjectVariables(TPlugins& plugins) {
  const auto variables = VariableClasses();
  for (auto it = variables.rbegin(); it != variables.rend(); ++it) plugins.Unregister(**it);
}

}  // namespace nimbra
