// libFuzzer target for the readers of page elements, picture effects and template variables. The
// first byte picks the reader: 0 an element list (a chunked stream with header, as a template
// holds it), 1 an effect list, 2 a template-variable bag (both headerless, as a picture bag and a
// project bag hold them); the rest is its input. Bad bytes must only give false or partial
// content; what the sanitizers or libFuzzer's limits catch, or a broken promise below, is a bug:
// whatever was read is stored, read again and stored to the same bytes. Texts that were read are
// drawn too, as the design view and final rendering draw them, and effects are applied to a
// picture: fonts, sizes, texts and effect settings are outside bytes as well.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "elements/ElementRegistration.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementText.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "framework/Properties.h"
#include "raster/FontSupport.h"
#include "raster/Transform.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageElementList.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// The units run from the first input to the program's end; they end before the classes they
// registered are destroyed, which were made while they started.
struct TUnits {
  TUnits() {
    StartFontSupport();
    PageTemplatesStartup();
    ElementsStartup();
  }
  ~TUnits() {
    ElementsShutdown();
    PageTemplatesShutdown();
    StopFontSupport();
  }
  TUnits(const TUnits&) = delete;
  TUnits& operator=(const TUnits&) = delete;
};

// ---- element lists ----

std::string WriteElements(const TPageElementList& list) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Create);
  Expect(list.WriteItems(csf));
  csf.Release();
  return bytes.ToString();
}

bool ReadElements(TPageElementList& list, std::string_view bytes) {
  try {
    TMemoryStream stream(bytes);
    TCSFStreamWinTypes csf(stream, CSFMode::Read);
    return list.ReadItems(csf);
  } catch (...) {
    return false;  // no stream header: nothing was read
  }
}

void DrawTexts(TPageElementList& list) {
  TBitmap32 page(64, 48);
  for (int32_t i = 0; i < list.Count(); ++i) {
    auto* text = dynamic_cast<TPrintPageElementText*>(list.Items(i));
    if (text == nullptr) continue;
    for (const TRenderMode mode : {TRenderMode::DesignView, TRenderMode::FinalRendering}) {
      TRenderContext context;
      context.Mode = mode;
      context.Canvas = &page;
      context.TargetBitmap = &page;
      context.PageRect = {0, 0, page.Width(), page.Height()};
      text->PrintWith(context);
    }
  }
}

void FuzzElementList(std::string_view bytes) {
  TPageElementList first;
  ReadElements(first, bytes);
  DrawTexts(first);
  const std::string stored = WriteElements(first);
  TPageElementList second;
  Expect(ReadElements(second, stored));
  Expect(second.Count() == first.Count());
  Expect(WriteElements(second) == stored);
}

// ---- effects ----

// Lengths up to this many centimetres are drawn. Longer ones reach bitmaps near the picture-size
// cap, which take seconds each under the sanitizers; that the cap skips them is shown by the
// element tests.
constexpr double kFuzzedCentimetres = 20;

bool Affordable(double centimetres) {
  return !(std::isfinite(centimetres) && std::fabs(centimetres) > kFuzzedCentimetres);
}

bool Affordable(const TPrintWizardPictureEffect& effect) {
  if (const auto* shadow = effect.PropertiesAs<TPrintWizardPictureEffectShadowProperties>()) {
    return Affordable(shadow->Distance()) && Affordable(shadow->Blur());
  }
  if (const auto* border = effect.PropertiesAs<TPrintWizardPictureEffectSimpleBorderProperties>()) {
    return Affordable(border->BorderWidth()) && Affordable(border->LeftWidth()) &&
           Affordable(border->TopWidth()) && Affordable(border->RightWidth()) &&
           Affordable(border->BottomWidth());
  }
  return true;
}

// The effects that were read, applied as a picture element applies them: before the geometry to
// the working copy, after it with a transformation, in final rendering and in the design view.
void ApplyEffects(TPrintWizardPictureEffectList& effects) {
  for (int32_t i = 0; i < effects.Count(); ++i) {
    if (effects.Effects(i) != nullptr && !Affordable(*effects.Effects(i))) return;
  }
  constexpr double kDpi = 96;
  for (const bool preview : {false, true}) {
    TBitmap32 picture(24, 16);
    picture.Clear(Color32(200, 120, 40));
    effects.ApplyEffects(picture, {0, 0, 24, 16}, kDpi, nullptr, 1, 1,
                         kEffectStageBeforeGeometry, preview);
    TAffineTransformation transformation;
    transformation.SetSrcRect({-0.5, -0.5, picture.Width() - 0.5, picture.Height() - 0.5});
    transformation.Rotate(7);
    effects.ApplyEffects(picture, {0, 0, picture.Width(), picture.Height()}, kDpi,
                         &transformation, 0.5, 0.5, kEffectStageAfterGeometry, preview);
    Expect(picture.Width() >= 0 && picture.Height() >= 0);
  }
}

// ---- headerless readers ----

template <typename T>
std::string WriteHeaderless(const T& value) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  csf.SetFileVersion(kCopyFileVersion);
  Expect(value.WriteToStream(csf));
  csf.Release();
  return bytes.ToString();
}

template <typename T>
bool ReadHeaderless(T& value, std::string_view bytes) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  csf.SetFileVersion(kCopyFileVersion);
  return value.ReadFromStream(csf);
}

template <typename T>
void FuzzHeaderless(std::string_view bytes) {
  T first;
  ReadHeaderless(first, bytes);
  if constexpr (std::is_same_v<T, TPrintWizardPictureEffectList>) ApplyEffects(first);
  // The first store settles what reading keeps as it is (a stored date in the long form, line
  // breaks as CR LF); from then on the stored form is stable.
  const std::string stored = WriteHeaderless(first);
  T second;
  Expect(ReadHeaderless(second, stored));
  Expect(WriteHeaderless(second) == stored);
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  using namespace nimbra::fuzz;
  static const TUnits units;
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0: FuzzElementList(input); break;
    case 1: FuzzHeaderless<TPrintWizardPictureEffectList>(input); break;
    default: FuzzHeaderless<TPageTemplateVariableProperties>(input); break;
  }
  return 0;
}
