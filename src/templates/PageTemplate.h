// Page templates: one kind of page with its size, its background and its ordered elements. The
// renderer clones templates into pages and binds their elements to slideshow objects; the engine
// draws the background and then each element in list order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/CustomTree.h"
#include "framework/InterfacedPlugin.h"
#include "framework/OwnerList.h"
#include "framework/Properties.h"
#include "raster/Bitmap32.h"
#include "slideshow/SlideShowInterfaces.h"
#include "templates/PageElement.h"
#include "templates/PageElementList.h"
#include "templates/PageGeometry.h"

namespace nimbra {

class TCSFStream;
class TPageTemplateList;
class TPageTemplateProject;

// Page sides a template asks for; any other stored value counts as kPageSideAny.
inline constexpr uint8_t kPageSideAny = 0;
inline constexpr uint8_t kPageSideEven = 1;
inline constexpr uint8_t kPageSideOdd = 2;

class TPageTemplateProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateProperties() = default;

  // A sub-chunk: Height, Width, Name, ID, Side.
  void MapFields(TFieldMap& map) override;

  int32_t Height() const { return height_; }
  void SetHeight(int32_t height) { height_ = height; }
  int32_t Width() const { return width_; }
  void SetWidth(int32_t width) { width_ = width; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  uint32_t ID() const { return id_; }
  void SetID(uint32_t id) { id_ = id; }
  // As stored, so that an unknown value is written back unchanged.
  uint8_t Side() const { return side_; }
  void SetSide(uint8_t side) { side_ = side; }
  // The side as it is used: kPageSideEven, kPageSideOdd, or kPageSideAny for any other value.
  uint8_t EffectiveSide() const;

 private:
  int32_t height_ = 0;
  int32_t width_ = 0;
  std::string name_;
  uint32_t id_ = 0;
  uint8_t side_ = kPageSideAny;
};

class TPageTemplate : public TInterfacedPlugin, public IHasOwner {
  NIMBRA_DECLARE_PLUGIN()

 public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  // Sender, A, Element, B.
  using TElementChangeEvent =
      std::function<void(TObject* sender, int32_t a, TPageElement* element, uint8_t b)>;

  TPageTemplate();
  ~TPageTemplate() override;

  // Unassigned after construction; not copied by Assign or Clone.
  TElementChangeEvent OnElementChange;
  TNotifyEvent OnElementsChanged;
  TNotifyEvent OnElementAdded;
  TNotifyEvent OnElementDeleted;

  // Copies the bag and the elements through the stored form (not the events, the bound item, the
  // page number or the list link); anything but a template is ignored.
  void Assign(const TPlugin& source) override;

  virtual const TMetaClass& PropertiesClass() const { return *propertiesClass_; }
  // An element of the list changed: raises OnElementChange (template, A, element, B).
  virtual void ElementChanged(TPageElement* element, int32_t a, uint8_t b);
  // An element arrived at index: its changes now reach ElementChanged.
  virtual void ElementAttached(int32_t index);
  virtual void ElementsChanged();
  virtual void ElementAdded();
  virtual void ElementDeleted();
  // 1. the bag in a sub-chunk, 2. the element list as a nested stream in a sub-chunk. False after
  // any failure; what was read so far stays.
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool WriteToStream(TCSFStream& stream) const;
  // A new template of the same class with a copy of the bag and the elements.
  virtual std::unique_ptr<TPageTemplate> Clone() const;
  virtual TPageTemplateList* GetTemplateList() const;
  virtual void SetTemplateList(TPageTemplateList* list);

  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }

  uint32_t ID() const { return properties_->ID(); }
  void SetID(uint32_t id) { properties_->SetID(id); }
  // The integer page size, in millimetres for a new project's first template.
  void SetSize(int32_t width, int32_t height);
  void SetWidth(int32_t width) { properties_->SetWidth(width); }
  void SetHeight(int32_t height) { properties_->SetHeight(height); }
  // The Name, or "Seite ID:" followed by a space and the ID without one.
  std::string Caption() const;

  // The slideshow position a rendered page belongs to; none in a template.
  const TRef<ITreeItem>& BoundItem() const { return boundItem_; }
  void SetBoundItem(TRef<ITreeItem> item) { boundItem_ = std::move(item); }
  // -1 in a template; a rendered page carries its 1-based number.
  int32_t PageNumber() const { return pageNumber_; }
  void SetPageNumber(int32_t pageNumber) { pageNumber_ = pageNumber; }

  TPageTemplateProperties& Properties() const { return *properties_; }
  template <typename T>
  T* PropertiesAs() const {
    return dynamic_cast<T*>(properties_.get());
  }
  TPageElementList& Elements() const { return *elements_; }
  // The project that holds the template's list, or none.
  TPageTemplateProject* Project() const;

 protected:
  // Creates the bag from propertiesClass; raises std::logic_error when that is no template bag.
  explicit TPageTemplate(const TMetaClass& propertiesClass);

 private:
  void WireElementList();

  const TMetaClass* propertiesClass_;
  std::unique_ptr<TPageTemplateProperties> properties_;
  std::unique_ptr<TPageElementList> elements_;
  TRef<ITreeItem> boundItem_;
  int32_t pageNumber_ = -1;
  TObject* owner_ = nullptr;
};

// How the background picture covers the page.
inline constexpr uint8_t kBackgroundCentred = 0;
inline constexpr uint8_t kBackgroundStretched = 1;
inline constexpr uint8_t kBackgroundTiled = 2;

class TPrintWizardPageTemplateProperties : public TPageTemplateProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // Told the new centimetre value; not stored, not copied.
  using TSizeChangedEvent = std::function<void(double centimetres)>;

  TPrintWizardPageTemplateProperties() = default;

  TSizeChangedEvent OnPageWidthChanged;
  TSizeChangedEvent OnPageHeightChanged;

  // A sub-chunk after the inherited one: the page, resolution and background fields. Reading
  // takes the page size as stored, without raising the size events.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  double PageWidth() const { return pageWidth_; }
  // Raises OnPageWidthChanged.
  void SetPageWidth(double centimetres);
  double PageHeight() const { return pageHeight_; }
  void SetPageHeight(double centimetres);
  double Resolution() const { return resolution_; }
  void SetResolution(double dotsPerInch) { resolution_ = dotsPerInch; }
  TColor32 BackColor() const { return backColor_; }
  void SetBackColor(TColor32 colour) { backColor_ = colour; }
  bool Reserved() const { return reserved_; }
  void SetReserved(bool reserved) { reserved_ = reserved; }
  const std::string& BackgroundFile() const { return backgroundFile_; }
  void SetBackgroundFile(std::string name) { backgroundFile_ = std::move(name); }
  uint8_t BackgroundMode() const { return backgroundMode_; }
  void SetBackgroundMode(uint8_t mode) { backgroundMode_ = mode; }
  double BackgroundWidth() const { return backgroundWidth_; }
  void SetBackgroundWidth(double centimetres) { backgroundWidth_ = centimetres; }
  double BackgroundHeight() const { return backgroundHeight_; }
  void SetBackgroundHeight(double centimetres) { backgroundHeight_ = centimetres; }
  uint8_t BackgroundAlpha() const { return backgroundAlpha_; }
  void SetBackgroundAlpha(uint8_t alpha) { backgroundAlpha_ = alpha; }

 private:
  double pageWidth_ = 21.0;
  double pageHeight_ = 29.7;
  double resolution_ = 0;
  TColor32 backColor_ = 0xFFFFFFFF;
  bool reserved_ = false;
  std::string backgroundFile_;
  uint8_t backgroundMode_ = kBackgroundStretched;
  double backgroundWidth_ = 0;
  double backgroundHeight_ = 0;
  uint8_t backgroundAlpha_ = 255;
};

// The template the system uses: a background colour and an optional background picture. Its file
// references are the background picture.
class TPrintWizardPageTemplate : public TPageTemplate, public IFileReferences {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPageTemplate();

  // The background file resolved against the owning project's file (empty base without one).
  std::string GetFileName() const override;
  // Sets BackgroundFile as given.
  void SetFileName(const std::string& name) override;
  // One line: the resolved background file name.
  virtual std::vector<std::string> FileList() const;
  // BackgroundFile := newName when oldName is the stored or the resolved background file name.
  virtual void RenameFile(const std::string& oldName, const std::string& newName);
  // One line: BackgroundFile as stored.
  virtual std::vector<std::string> RawFileList() const;
  virtual std::string GetRawFileName() const;
  virtual void SetFileNameAt(const std::string& name);
  int32_t FileCount() const override { return 1; }
  // Fills the page rectangle with BackColor and draws the background picture over it.
  virtual void DrawBackground(TBitmap32& bitmap, const TPixelRect& pageRect);
  // The template-variable registry's expansion, then the general one's, with this template as the
  // object.
  virtual std::string ExpandVariables(const std::string& text) const;
  virtual void SetPageAttribute(int32_t attribute) { pageAttribute_ = attribute; }

  // IFileReferences, forwarded to the operations above.
  std::vector<std::string> GetFileNames() const override { return FileList(); }
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override {
    RenameFile(oldName, newName);
  }
  std::vector<std::string> GetStoredFileNames() const override { return RawFileList(); }
  std::string GetStoredFileName() const override { return GetRawFileName(); }
  void SetFileNameAt(int32_t /*index*/, const std::string& name) override { SetFileNameAt(name); }
  std::vector<std::string> GetResolvedFileNames() const override { return FileList(); }

  int32_t PageAttribute() const { return pageAttribute_; }
  // Not stored; nothing in the system sets it.
  const std::string& ChapterNumber() const { return chapterNumber_; }
  void SetChapterNumber(std::string number) { chapterNumber_ = std::move(number); }

  TPrintWizardPageTemplateProperties& WizardProperties() const;

  // 3. an empty sub-chunk after the inherited parts, for later writers to fill.
  bool ReadFromStream(TCSFStream& stream) override;
  bool WriteToStream(TCSFStream& stream) const override;

 private:
  std::string chapterNumber_;
  int32_t pageAttribute_ = 0;
};

}  // namespace nimbra
