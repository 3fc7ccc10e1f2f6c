// The variables texts of a slideshow can use: what an object, its document, its file and its
// picture metadata say (%filename%, %position%, %capturedate%, %EXIFModel% ...). They live in the
// main plug-in registry; captions of pages and texts of the show expand them for the object they
// stand for. A value that cannot be had is empty text, never an error and never a made-up date.
#pragma once

#include <string>

#include "framework/VariablePlugin.h"

namespace nimbra {

class TPlugins;

// The base of the variables that need a slideshow object.
class TSlideShowObjectVariablePlugin : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static const TMetaClass* ClassContextClass();
};

}  // namespace nimbra

// A variable plug-in with its own keys and values.
#define NIMBRA_OBJECT_VARIABLE(Type, Base)                                     \
  namespace nimbra {                                                           \
  class Type : public Base {                                                   \
    NIMBRA_DECLARE_VARIABLE_PLUGIN()                                           \
                                                                               \
   public:                                                                     \
    static std::string ClassKeyList(TObject* object);                          \
    static std::string ClassGetValue(TObject* object, const std::string& key); \
  };                                                                           \
  }

// The object's text, its own variables expanded (a %text% inside it stays as written).
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectTextVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectKeywordsVariablePlugin, TSlideShowObjectVariablePlugin)
// The document's title, or its file name when the title is empty.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectSlideShowTitleVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectSlideShowDescriptionVariablePlugin,
                       TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectSlideShowAuthorVariablePlugin,
                       TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectSlideShowCopyrightVariablePlugin,
                       TSlideShowObjectVariablePlugin)
// The object's place in the document, such as 2.3.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectPositionVariablePlugin, TSlideShowObjectVariablePlugin)
// The parts of the capture date and time; empty where the metadata has none.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureYearVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureMonthVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureDayVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureHourVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureMinuteVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureSecondVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureDateVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectCaptureTimeVariablePlugin, TSlideShowObjectVariablePlugin)
// Today's date and the time now, for any object.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectDateVariablePlugin, TVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectTimeVariablePlugin, TVariablePlugin)
// The object's file: its name, its folder, its date.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectFilenameVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectPathVariablePlugin, TSlideShowObjectVariablePlugin)
// The JPEG comment and the EXIF user comment.
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectPicCommentVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectExifCommentVariablePlugin, TSlideShowObjectVariablePlugin)
// One key per IPTC dataset name and EXIF tag name (MetadataKeys.h).
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectIPTCVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectEXIFVariablePlugin, TSlideShowObjectVariablePlugin)
NIMBRA_OBJECT_VARIABLE(TSlideShowObjectFiledateVariablePlugin, TSlideShowObjectVariablePlugin)

namespace nimbra {

// "Erstellt mit" and the application's names; for any object, although it shares the base of the
// object variables.
class TSlideShowCreatorAppVariablePlugin : public TSlideShowObjectVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
  static const TMetaClass* ClassContextClass() { return nullptr; }
};

// Registers the variables in the registry in the order texts look for their keys; the first to
// know a key wins.
void RegisterSlideShowObjectVariables(TPlugins& plugins);
void UnregisterSlideShowObjectVariables(TPlugins& plugins);

}  // namespace nimbra
