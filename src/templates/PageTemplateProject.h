// A template project (*.pwt): the page templates, the project's own settings bags and the
// structure that says how templates and slideshow objects are combined into pages. The album reads
// one from its package at start and keeps it as long as any page made from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Properties.h"
#include "framework/PropertiesList.h"
#include "storage/ClassRegistry.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateList.h"
#include "templates/PageTemplateStructure.h"

namespace nimbra {

class TCSFStream;
class TStream;
struct TStoredPart;

inline constexpr int32_t kTemplateProjectFileType = 1289;
inline constexpr int32_t kTemplateProjectFileVersion = 256;
inline constexpr int32_t kProjectPropertiesChunkId = 256;
inline constexpr int32_t kProjectStructureChunkId = 257;

class TPageTemplateProject : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // One template of TemplateClass (ID 1), no bags, an empty structure.
  TPageTemplateProject();
  ~TPageTemplateProject() override;
  TPageTemplateProject(const TPageTemplateProject&) = delete;
  TPageTemplateProject& operator=(const TPageTemplateProject&) = delete;

  virtual void SetFileName(const std::string& name) { fileName_ = name; }
  virtual const TMetaClass& TemplateClass() const { return *templateClass_; }
  // Replaces the file only when everything was written, so a failure keeps the old file.
  virtual bool SaveToFile(const std::string& fileName, int32_t fileType, int32_t fileVersion) const;
  // Remembers the file name when the project was read.
  virtual bool LoadFromFile(const std::string& fileName, int32_t fileType, int32_t fileVersion);
  // A chunked stream with the file type and version in its header.
  virtual bool SaveToStream(TStream& stream, int32_t fileType, int32_t fileVersion) const;
  // False, reading nothing, for a stream that is no chunked stream or of another file type (the
  // file version is not checked); false also when a chunk header is damaged, and then what was
  // read before stays.
  virtual bool LoadFromStream(TStream& stream, int32_t fileType, int32_t fileVersion);
  // Chunk 273 (templates), 256 (bags, when there are any) and 257 (structure).
  virtual bool WriteToStream(TCSFStream& stream) const;
  // Clears the templates, then reads the chunks the header counts. Structure items are appended
  // and bags matched by class name. False only for a damaged chunk header.
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual std::unique_ptr<TPageTemplateProject> Clone() const;
  // Templates, bags and structure copied through the stored form, then the file name.
  virtual void Assign(const TPageTemplateProject& source);
  virtual TPageTemplate* FirstTemplate() const;

  const std::string& FileName() const { return fileName_; }
  TPageTemplateList& Templates() const { return *templates_; }
  TPropertiesList& Properties() const { return *properties_; }
  TPageTemplateStructure& Structure() const { return *structure_; }

 protected:
  explicit TPageTemplateProject(const TMetaClass& templateClass);

 private:
  const TMetaClass* templateClass_;
  std::string fileName_;
  std::unique_ptr<TPropertiesList> properties_;
  std::unique_ptr<TPageTemplateList> templates_;
  std::unique_ptr<TPageTemplateStructure> structure_;
};

// The project's own settings: title, author, description, the template variables and a further
// text. The variables bag belongs to the template-variable classes and is created by its class
// name; while that class is not registered its stored bytes are kept and written back unchanged.
class TPrintWizardPageTemplateProjectProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr std::string_view kVariablesClassName = "TPageTemplateVariableProperties";

  TPrintWizardPageTemplateProjectProperties();
  ~TPrintWizardPageTemplateProjectProperties() override;

  // Tools are shown the variables as their stored bytes, whether or not their class is registered.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  const std::string& Author() const { return author_; }
  void SetAuthor(std::string author) { author_ = std::move(author); }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string description) { description_ = std::move(description); }
  const std::string& Extra() const { return extra_; }
  void SetExtra(std::string extra) { extra_ = std::move(extra); }
  // The template variables, or none while their class is not registered.
  TProperties* Variables() const { return variables_.get(); }

 private:
  std::string author_;
  std::string title_;
  std::string description_;
  std::unique_ptr<TProperties> variables_;
  std::vector<char> storedVariables_;
  std::string extra_;

  TStoredPart VariablesPart();
};

// The project the system uses: file type 1289, version 256, templates of TPrintWizardPageTemplate.
class TPrintWizardPageTemplateProject : public TPageTemplateProject {
  NIMBRA_DECLARE_CLASS()

 public:
  // The project bag ("Vorlagen-Projekt") is added, and the first template is 210 × 297.
  TPrintWizardPageTemplateProject();

  using TPageTemplateProject::LoadFromFile;
  using TPageTemplateProject::LoadFromStream;
  using TPageTemplateProject::SaveToFile;
  using TPageTemplateProject::SaveToStream;
  virtual bool SaveToStream(TStream& stream) const;
  virtual bool SaveToFile(const std::string& fileName) const;
  virtual bool LoadFromFile(const std::string& fileName);
  virtual bool LoadFromStream(TStream& stream);
  // The template-variable registry's expansion, then the general one's, with the project as the
  // object.
  virtual std::string ExpandVariables(const std::string& text) const;

  // The project bag held in Properties; none only when someone removed it from there.
  TPrintWizardPageTemplateProjectProperties* ProjectProperties() const;
};

}  // namespace nimbra
