#include "slideshow/MusicProperties.h"

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TMusicProperties, TProperties)

namespace {

constexpr int32_t kFirstWideVolumeVersion = 772;

}  // namespace

bool TMusicProperties::BackgroundMusicActive() const {
  return musicOn_ && fadeOutAtEnd_ && !playList_.Empty();
}

std::string TMusicProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                 "TSlideShowPropertiesMusicPropertiesFrame"),
      "TSlideShowPropertiesMusicEditorFrame");
}

TStoredPart TMusicProperties::PlayListPart() {
  return {[this](TCSFStream& stream) { return playList_.WriteItems(stream); },
          [this](TCSFStream& stream) {
            playList_.Clear();
            return PartRead(playList_.ReadItems(stream));
          },
          [this](std::string_view name, TFieldWriter& fields) {
            std::vector<std::string> fileNames;
            for (int i = 0; i < playList_.Count(); ++i) {
              fileNames.push_back(playList_.Items(i).FileName());
            }
            fields.Integer("playListItems", playList_.Count());
            fields.Text(name, JoinLines(fileNames));
          }};
}

void TMusicProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.Boolean("musicOn", musicOn_);
  map.Boolean("fadeOutAtEnd", fadeOutAtEnd_);
  map.Integer("fadeOutDuration", fadeOutDuration_);
  map.Boolean("repeatList", repeatList_);
  if (map.Since(kFirstWideVolumeVersion)) {
    map.Integer("musicVolume", musicVolume_);
  } else {
    map.ByteInteger("musicVolume", musicVolume_);
  }
  map.Boolean("followShow", followShow_);
  map.Integer("duckFadeTime", duckFadeTime_);
  map.Integer("duckVolume", duckVolume_);
  map.SubChunk([&] { map.Part("playList", PlayListPart()); });
  map.Boolean("perObjectSoundLists", perObjectSoundLists_);
}

}  // namespace nimbra
