// The particle effect: many small copies of a few pictures moving across the placement area (snow,
// rain, bubbles). The player moves and draws them; the object stores the pictures and the motion.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "slideshow/BitmapSlideShowObject.h"

namespace nimbra {

// How particles swing while they move, numbered as stored.
enum class TParticleWobble : uint8_t {
  None = 0,
  Sideways = 1,
  Circling = 2,
  RandomSideways = 3,
  RandomBoth = 4,
};

class TParticleSlideShowObject : public TBaseExtBitmapSlideShowObject,
                                 public virtual IFileReferences {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TParticleSlideShowObject() = default;

  static std::string ClassCaption() { return "Partikel"; }
  static std::string ClassDescription() {
    return "Parkikelsystem zum Darstellen von Schnee, Regen, Blasen etc.";
  }
  static std::string ClassCategory() { return "Zusätzlich"; }

  // The particle pictures, one stored name per line (lines end with CR LF).
  const std::string& PictureFileNames() const { return pictureFileNames_; }
  void SetPictureFileNames(const std::string& names) { pictureFileNames_ = names; }
  int32_t ParticleCount() const { return particleCount_; }
  void SetParticleCount(int32_t count) { particleCount_ = count; }
  // Radians.
  float Direction() const { return direction_; }
  void SetDirection(float radians) { direction_ = radians; }
  // Diagonals of the placement area per second.
  float Speed() const { return speed_; }
  void SetSpeed(float speed) { speed_ = speed; }
  // Stored and read, used by nothing.
  float Reserved() const { return reserved_; }
  void SetReserved(float value) { reserved_ = value; }
  // A fraction of the placement area's shorter side.
  float ParticleSize() const { return particleSize_; }
  void SetParticleSize(float size) { particleSize_ = size; }
  uint8_t Wobble() const { return wobble_; }
  void SetWobble(uint8_t wobble) { wobble_ = wobble; }
  float WobbleAmplitude() const { return wobbleAmplitude_; }
  void SetWobbleAmplitude(float amplitude) { wobbleAmplitude_ = amplitude; }
  // Cycles per second.
  float WobbleFrequency() const { return wobbleFrequency_; }
  void SetWobbleFrequency(float frequency) { wobbleFrequency_ = frequency; }

  // IFileReferences, over the particle pictures.
  std::string GetFileName() const override;
  // Stores the name as the first picture.
  void SetFileName(const std::string& name) override { SetFileNameAt(0, name); }
  std::vector<std::string> GetFileNames() const override;
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override;
  std::vector<std::string> GetStoredFileNames() const override;
  std::string GetStoredFileName() const override;
  // An index at the end appends a picture; one beyond it is ignored.
  void SetFileNameAt(int32_t index, const std::string& name) override;
  int32_t FileCount() const override;
  std::vector<std::string> GetResolvedFileNames() const override;

  std::string CategoryName() const override { return ClassCategory(); }
  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  void StoreNames(const std::vector<std::string>& names);

  std::string pictureFileNames_;
  int32_t particleCount_ = 20;
  float direction_ = 4.712389f;
  float speed_ = 0.1f;
  float reserved_ = 0.0f;
  float particleSize_ = 0.1f;
  uint8_t wobble_ = static_cast<uint8_t>(TParticleWobble::Sideways);
  float wobbleAmplitude_ = 0.1f;
  float wobbleFrequency_ = 0.5f;
};

}  // namespace nimbra
