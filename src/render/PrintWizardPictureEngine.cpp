#include "render/PrintWizardPictureEngine.h"

#include <filesystem>
#include <system_error>

#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEngine, TPrintWizardRenderEngine)

namespace {

// Resource texts.
constexpr const char* kFileExistsText = "Die Datei \"%s\" existiert bereits, sie wird überschrieben.";
constexpr const char* kCannotCreateDirectoryText =
    "Das Verzeichnis \"%s\" kann nicht erstellt werden.";
constexpr const char* kCannotSaveFileText = "Die Datei \"%s\" kann nicht gespeichert werden.";

std::string FormatText(std::string_view format, const std::string& value) {
  std::string text(format);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Stored folders may come from Windows, where a backslash separates folders.
std::string LocalFolder(std::string folder) {
  for (char& c : folder) {
    if (c == '\\') c = '/';
  }
  return folder;
}

std::string PaddedNumber(int32_t number, size_t digits) {
  std::string text = std::to_string(number);
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

}  // namespace

TPrintWizardPictureEngine::TPrintWizardPictureEngine() = default;

TPrintWizardPictureEngine::~TPrintWizardPictureEngine() = default;

TPrintWizardPictureEngineProperties* TPrintWizardPictureEngine::PictureProperties() const {
  return dynamic_cast<TPrintWizardPictureEngineProperties*>(Properties());
}

double TPrintWizardPictureEngine::Resolution() const {
  const TPrintWizardPictureEngineProperties* bag = PictureProperties();
  return bag != nullptr ? bag->Resolution() : TPrintWizardRenderEngine::Resolution();
}

const TMetaClass* TPrintWizardPictureEngine::PropertiesClass() const {
  return &TPrintWizardPictureEngineProperties::StaticClass();
}

TPixelRect TPrintWizardPictureEngine::PageRect() const {
  const TPrintWizardPictureEngineProperties* bag = PictureProperties();
  NIMBRA_CHECK(bag != nullptr, "The picture engine has no picture engine properties");
  return {0, 0, bag->PixelWidth(), bag->PixelHeight()};
}

void TPrintWizardPictureEngine::EndPage() {
  if (PageBitmap() == nullptr) return;
  switch (mode_) {
    case kPictureEngineSaveFiles: SavePage(); break;
    case kPictureEngineKeepLast:
      // The page bitmap is freed right after this, so its pixels move instead of being copied:
      // one page less in memory at the peak.
      lastPicture_ = std::make_unique<TBitmap32>(std::move(*PageBitmapHolder()));
      break;
    default: break;
  }
}

std::string TPrintWizardPictureEngine::PageFileName() const {
  const TPrintWizardPictureEngineProperties* bag = PictureProperties();
  std::string name = bag != nullptr ? LocalFolder(bag->OutputDirectory()) : std::string();
  if (!name.empty() && !IsSeparator(name.back())) name += '/';
  if (bag != nullptr) name += bag->FileNamePrefix();
  name += PaddedNumber(PageNumber(), 5);
  // The extension is appended: replacing "whatever follows the last dot" would eat the page
  // number of a prefix with a dot in it, and every page would overwrite the same file.
  const TPictureFormatWriter* format = bag != nullptr ? bag->PictureFormat() : nullptr;
  if (format != nullptr && !format->DefaultExtension().empty()) {
    // Appended piecewise: "." + text trips a false -Wrestrict of GCC 12 at -O3.
    name += '.';
    name += format->DefaultExtension();
  }
  return name;
}

void TPrintWizardPictureEngine::ReportError(const std::string& text, int32_t errorNr) {
  if (ErrorCounter() != nullptr) ErrorCounter()->AddCriticalError(std::make_unique<TError>(text, errorNr));
}

void TPrintWizardPictureEngine::SavePage() {
  const TPrintWizardPictureEngineProperties* bag = PictureProperties();
  const TBitmap32* page = PageBitmap();
  if (bag == nullptr || page == nullptr) return;
  // 1. a file of the same name is overwritten, with a hint
  const std::string name = PageFileName();
  std::error_code error;
  if (std::filesystem::exists(name, error) && ErrorCounter() != nullptr) {
    ErrorCounter()->AddHintText(FormatText(kFileExistsText, name));
  }
  // 2. the page bitmap is already the 32-bit picture every writer takes
  // 3. the output folder, created when missing
  std::string folder = LocalFolder(bag->OutputDirectory());
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (!folder.empty()) {
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
      ReportError(FormatText(kCannotCreateDirectoryText, folder), kErrorCannotCreateDirectory);
    }
  }
  // 4. the page written in the chosen picture format
  const TPictureFormatWriter* format = bag->PictureFormat();
  if (format == nullptr || !format->SaveToFile(*page, name)) {
    ReportError(FormatText(kCannotSaveFileText, name), kErrorCannotSaveFile);
  }
}

std::unique_ptr<TBitmap32> TPrintWizardPictureEngine::RenderToBitmap(
    const TRenderPageTemplateListItem& record) {
  const TPictureEngineMode savedMode = mode_;
  mode_ = kPictureEngineKeepLast;
  try {
    RenderPage(record);
  } catch (...) {
    // Not a boundary: whatever the page raised passes on, with the engine back in its own mode.
    mode_ = savedMode;
    throw;
  }
  mode_ = savedMode;
  return std::move(lastPicture_);
}

std::unique_ptr<TBitmap32> TPrintWizardPictureEngine::DrawPage(
    const TRenderPageTemplateListItem& record, TErrorCounter* counter,
    TDrawingRandom& random) const {
  const TPixelRect pageRect = PageRect();
  auto bitmap = std::make_unique<TBitmap32>();
  bitmap->SetSizeForOverwrite(pageRect.Width(), pageRect.Height());  // DrawRecord writes it all
  // The picture engine's canvas is the page bitmap itself.
  TRenderContext context = OutputContext(bitmap.get(), bitmap.get());
  context.ErrorCounter = counter;
  context.Random = &random;
  DrawRecord(record, context, nullptr);
  return bitmap;
}

}  // namespace nimbra
