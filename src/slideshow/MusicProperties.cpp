#include "slideshow/MusicProperties.h"

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

bool TMusicProperties::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteBoolean(musicOn_);
    stream.WriteBoolean(fadeOutAtEnd_);
    stream.WriteInteger(fadeOutDuration_);
    stream.WriteBoolean(repeatList_);
    stream.WriteInteger(musicVolume_);
    stream.WriteBoolean(followShow_);
    stream.WriteInteger(duckFadeTime_);
    stream.WriteInteger(duckVolume_);
    TWriteSubChunk items(stream);
    if (!playList_.WriteItems(stream)) return false;
    items.End();
    stream.WriteBoolean(perObjectSoundLists_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TMusicProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    musicOn_ = stream.ReadBoolean();
    fadeOutAtEnd_ = stream.ReadBoolean();
    fadeOutDuration_ = stream.ReadInteger();
    repeatList_ = stream.ReadBoolean();
    musicVolume_ =
        stream.FileVersion() < kFirstWideVolumeVersion ? stream.ReadByte() : stream.ReadInteger();
    followShow_ = stream.ReadBoolean();
    duckFadeTime_ = stream.ReadInteger();
    duckVolume_ = stream.ReadInteger();
    bool itemsRead = false;
    {
      TReadSubChunk items(stream);
      playList_.Clear();
      itemsRead = playList_.ReadItems(stream);
    }
    perObjectSoundLists_ = stream.ReadBoolean();
    return itemsRead;
  } catch (...) {
    return false;
  }
}

void TMusicProperties::DescribeFields(TFieldWriter& fields) const {
  TProperties::DescribeFields(fields);
  fields.Boolean("musicOn", musicOn_);
  fields.Boolean("fadeOutAtEnd", fadeOutAtEnd_);
  fields.Integer("fadeOutDuration", fadeOutDuration_);
  fields.Boolean("repeatList", repeatList_);
  fields.Integer("musicVolume", musicVolume_);
  fields.Boolean("followShow", followShow_);
  fields.Integer("duckFadeTime", duckFadeTime_);
  fields.Integer("duckVolume", duckVolume_);
  std::vector<std::string> fileNames;
  for (int i = 0; i < playList_.Count(); ++i) fileNames.push_back(playList_.Items(i).FileName());
  fields.Integer("playListItems", playList_.Count());
  fields.Text("playList", JoinLines(fileNames));
  fields.Boolean("perObjectSoundLists", perObjectSoundLists_);
}

}  // namespace nimbra
