// The base classes of page elements: plug-ins with a property bag that sit in a template's element
// list. Visible elements occupy a rectangle given as fractions of the page and draw themselves into
// a 32-bit bitmap; print-wizard elements also reach their template and project through the owner
// links, for variables, resolution and file names.
//
// A bag's class is decided by the most derived element class: each class passes its bag class (and
// a visible class its default size) up through the protected constructors, so the bag exists, of
// the right class, as soon as the base constructor returns and a derived constructor may fill it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/InterfacedPlugin.h"
#include "framework/OwnerList.h"
#include "framework/Properties.h"
#include "framework/VariablePlugin.h"
#include "raster/Bitmap32.h"
#include "storage/CSFStreamWinTypes.h"
#include "templates/PageGeometry.h"
#include "templates/RenderMode.h"

namespace nimbra {

class TCSFStream;
class TPageElement;
class TPageElementList;
class TPrintWizardPageTemplate;
class TPrintWizardPageTemplateProject;

// The base bag of every element. The back reference to the element is plain: the element owns the
// bag and outlives it.
class TPageElementProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageElementProperties() = default;

  TPageElement* Element() const { return element_; }
  void SetElement(TPageElement* element) { element_ = element; }

 private:
  TPageElement* element_ = nullptr;
};

class TPageElement : public TInterfacedPlugin, public IHasOwner {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // Sender, A, B.
  using TChangeEvent = std::function<void(TObject* sender, int32_t a, uint8_t b)>;

  ~TPageElement() override;

  // Raised by DoChange; the template that holds the element sets it.
  TChangeEvent OnChange;

  // Copies another element's bag through its stored form; anything but a page element, and any
  // failure on the way, leaves this element as it is.
  void Assign(const TPlugin& source) override;

  virtual void DoChange(int32_t a, uint8_t b);
  // The element's group in a chooser; empty here.
  virtual std::string Category() const { return {}; }
  // The bag class the element was constructed with.
  virtual const TMetaClass& PropertiesClass() const { return *propertiesClass_; }
  // A sub-chunk around the bag's fields; false after any failure (the values read so far stay).
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool WriteToStream(TCSFStream& stream) const;
  // A new element of the same class with the same bag; none when the class cannot be created.
  virtual std::unique_ptr<TPageElement> Clone() const;
  // The class's caption.
  virtual std::string DisplayName() const { return Caption(); }
  virtual TPageElementList* GetElementList() const;
  virtual void SetElementList(TPageElementList* list);

  // The owner link is the element list.
  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }

  TPageElementProperties& Properties() const { return *properties_; }
  // The bag as the class a derived element knows it to be, or none.
  template <typename T>
  T* PropertiesAs() const {
    return dynamic_cast<T*>(properties_.get());
  }

 protected:
  // Creates the bag from propertiesClass; raises std::logic_error when that is no element bag.
  explicit TPageElement(const TMetaClass& propertiesClass);

 private:
  const TMetaClass* propertiesClass_;
  std::unique_ptr<TPageElementProperties> properties_;
  TObject* owner_ = nullptr;
};

// The bag of visible elements: the rectangle as fractions of the page.
class TVisiblePageElementProperties : public TPageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TVisiblePageElementProperties() = default;

  // A sub-chunk holding the rectangle.
  void MapFields(TFieldMap& map) override;

  const TDoubleRect& Bounds() const { return bounds_; }
  void SetBounds(const TDoubleRect& bounds) { bounds_ = bounds; }

 private:
  TDoubleRect bounds_;
};

class IVisiblePageElement : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{31BDC32E-6528-4604-A2E4-812ABDCD4B38}";

  virtual TDoubleRect GetBounds() const = 0;
  virtual void SetBounds(const TDoubleRect& bounds) = 0;
  // Draws the element into the bitmap for a page that covers pageRect; true when it drew.
  virtual bool Render(TBitmap32& bitmap, const TPixelRect& pageRect) = 0;
};

class TVisiblePageElement : public TPageElement, public IVisiblePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr double kDefaultWidth = 0.1;
  static constexpr double kDefaultHeight = 0.1;

  TDoubleRect GetBounds() const override;
  void SetBounds(const TDoubleRect& bounds) override;
  bool Render(TBitmap32& bitmap, const TPixelRect& pageRect) override = 0;
  // The size of a new element as fractions of the page; 0 leaves that edge where it is.
  virtual double DefaultWidth() const { return defaultWidth_; }
  virtual double DefaultHeight() const { return defaultHeight_; }

  // The bounds mapped onto a page rectangle (halves to even).
  TPixelRect PixelBounds(const TPixelRect& pageRect) const;
  TVisiblePageElementProperties& VisibleProperties() const;

 protected:
  // propertiesClass must derive from TVisiblePageElementProperties. A new element covers
  // (0, 0)–(defaultWidth, defaultHeight).
  explicit TVisiblePageElement(const TMetaClass& propertiesClass,
                               double defaultWidth = kDefaultWidth,
                               double defaultHeight = kDefaultHeight);

 private:
  double defaultWidth_;
  double defaultHeight_;
};

// A picture that stands for an element class in a chooser.
class IBitmap32Glyph : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{CE76102F-ED5E-4A59-A906-5BD73E7F5FEB}";

  // The picture, or none when the program has none for the class.
  virtual std::unique_ptr<TBitmap32> GetGlyph() const = 0;
};

// The base of the system's concrete elements (text, picture, rectangle, ellipse).
class TPrintWizardElement : public TVisiblePageElement, public IBitmap32Glyph {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // The resolution an element without a page template draws at.
  static constexpr double kDefaultResolution = 96.0;

  // The text expanded in the element's VariableRounds, as one expansion.
  std::string ExpandVariables(const std::string& text) const;
  // The project's rounds first, then the template's; each only when the element has one.
  virtual std::vector<TVariableRound> VariableRounds() const;
  // The nearest owner of that class, or none.
  virtual TPrintWizardPageTemplate* PageTemplate() const;
  virtual TPrintWizardPageTemplateProject* TemplateProject() const;
  // Dots per inch: the page template's Resolution, or kDefaultResolution without a template.
  virtual double Resolution() const;

  // A stored file name resolved against the project's file (an empty base without a project).
  std::string ResolveFileName(const std::string& name) const;

  // The program carries no glyph pictures, so there is none.
  std::unique_ptr<TBitmap32> GetGlyph() const override;

  // For callers that draw the element through its documented calls: the mode the next drawing
  // is for. The engine's own drawing hands the mode over in a render context instead.
  TRenderMode RenderMode() const { return renderMode_; }
  void SetRenderMode(TRenderMode mode) { renderMode_ = mode; }
  // The same as the documented flag: 1 for final rendering (no design-view frame), else 0.
  uint8_t Rendering() const { return renderMode_ == TRenderMode::FinalRendering ? 1 : 0; }
  void SetRendering(uint8_t rendering) {
    renderMode_ = rendering != 0 ? TRenderMode::FinalRendering : TRenderMode::DesignView;
  }

 protected:
  explicit TPrintWizardElement(const TMetaClass& propertiesClass,
                               double defaultWidth = kDefaultWidth,
                               double defaultHeight = kDefaultHeight);

 private:
  TRenderMode renderMode_ = TRenderMode::DesignView;
};

}  // namespace nimbra
