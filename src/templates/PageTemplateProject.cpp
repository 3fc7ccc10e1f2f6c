#include "templates/PageTemplateProject.h"

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "storage/AtomicFile.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/Check.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileStream.h"
#include "storage/MemoryStream.h"
#include "storage/StoredBytes.h"
#include "templates/ChunkScope.h"
#include "templates/TemplateVariables.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPageTemplateProject, TObject)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPageTemplateProjectProperties, TProperties)
NIMBRA_DEFINE_CLASS(TPrintWizardPageTemplateProject, TPageTemplateProject)

// ---- TPageTemplateProject ----

TPageTemplateProject::TPageTemplateProject() : TPageTemplateProject(TPageTemplate::StaticClass()) {}

TPageTemplateProject::TPageTemplateProject(const TMetaClass& templateClass)
    : templateClass_(&templateClass),
      properties_(std::make_unique<TPropertiesList>()),
      templates_(std::make_unique<TPageTemplateList>()),
      structure_(std::make_unique<TPageTemplateStructure>()) {
  templates_->SetOwner(this);
  structure_->SetProject(this);
  std::unique_ptr<TPageTemplate> first = CreateAs<TPageTemplate>(templateClass);
  NIMBRA_CHECK(first, templateClass.ClassName() + " is no page template class");
  templates_->Add(std::unique_ptr<TObject>(first.release()));
}

TPageTemplateProject::~TPageTemplateProject() {
  properties_.reset();
  templates_.reset();
  structure_.reset();
}

bool TPageTemplateProject::SaveToFile(const std::string& fileName, int32_t fileType,
                                      int32_t fileVersion) const {
  return FalseOnFailure([&] {
    TAtomicFile target(fileName);
    bool written = false;
    {
      TFileStream file(target.TemporaryName(), FileMode::Create, fileName);
      written = SaveToStream(file, fileType, fileVersion);
      file.Flush();
    }
    if (!written) return false;
    target.Commit();
    return true;
  });
}

bool TPageTemplateProject::LoadFromFile(const std::string& fileName, int32_t fileType,
                                        int32_t fileVersion) {
  return FalseOnFailure([&] {
    TFileStream file(fileName, FileMode::OpenRead);
    if (!LoadFromStream(file, fileType, fileVersion)) return false;
    SetFileName(fileName);
    return true;
  });
}

bool TPageTemplateProject::SaveToStream(TStream& stream, int32_t fileType,
                                        int32_t fileVersion) const {
  return FalseOnFailure([&] {
    TCSFStreamWinTypes csf(stream, CSFMode::Create);
    csf.SetFileType(fileType);
    csf.SetFileVersion(fileVersion);
    const bool written = WriteToStream(csf);
    // Writes the final header; raises when it cannot.
    csf.Release();
    return written;
  });
}

bool TPageTemplateProject::LoadFromStream(TStream& stream, int32_t fileType,
                                          int32_t /*fileVersion*/) {
  return FalseOnFailure([&] {
    TCSFStreamWinTypes csf(stream, CSFMode::Read);
    if (csf.FileType() != fileType) return false;
    return ReadFromStream(csf);
  });
}

bool TPageTemplateProject::WriteToStream(TCSFStream& stream) const {
  // 273: the templates
  bool written = templates_->WriteList(stream, kTemplateListChunkId);
  // 256: the bags, each a chunk of a nested stream
  if (properties_->Count() > 0) {
    const bool bags = FalseOnFailure([&] {
      TWriteChunk chunk(stream, kProjectPropertiesChunkId);
      std::unique_ptr<TCSFStream> nested = stream.OpenNestedStream(NestedKind::Write, true);
      bool nestedWritten = false;
      if (nested) {
        nestedWritten = properties_->WriteToStream(*nested);
        stream.CloseNestedStream(nested, true);
      }
      chunk.End();
      return nestedWritten;
    });
    written = bags && written;
  }
  // 257: the structure
  const bool structure = FalseOnFailure([&] {
    TWriteChunk chunk(stream, kProjectStructureChunkId);
    const bool items = structure_->WriteToStream(stream);
    chunk.End();
    return items;
  });
  return structure && written;
}

bool TPageTemplateProject::ReadFromStream(TCSFStream& stream) {
  // The template the constructor made is no part of what is read.
  templates_->Clear();
  return FalseOnFailure([&] {
    const int32_t count = stream.ChunkCount();
    for (int32_t i = 0; i < count; ++i) {
      // A damaged chunk header leaves no way to find the next chunk and ends the read.
      const TChunkHeader header = stream.BeginReadChunk();
      // A part that fails keeps what it read; the chunk's length still leads to the next one.
      switch (header.Id) {
        case kProjectPropertiesChunkId: {
          std::unique_ptr<TCSFStream> nested = stream.OpenNestedStream(NestedKind::Read, false);
          if (nested) {
            properties_->ReadFromStream(*nested);
            stream.CloseNestedStream(nested, true);
          }
          break;
        }
        case kProjectStructureChunkId:
          structure_->ReadFromStream(stream);
          break;
        case kTemplateListChunkId:
          templates_->ReadList(stream);
          break;
        default:
          break;
      }
      stream.EndReadChunk();
    }
    return true;
  });
}

std::unique_ptr<TPageTemplateProject> TPageTemplateProject::Clone() const {
  std::unique_ptr<TPageTemplateProject> clone = CreateAs<TPageTemplateProject>(ClassType());
  if (clone) clone->Assign(*this);
  return clone;
}

void TPageTemplateProject::Assign(const TPageTemplateProject& source) {
  if (&source == this) return;
  // A copy that fails keeps what it read; Assign has no way to report.
  FalseOnFailure([&] {
    TMemoryStream buffer;
    {
      TCSFStreamWinTypes writer(buffer, CSFMode::Create);
      writer.SetFileType(kCopyFileType);
      writer.SetFileVersion(kCopyFileVersion);
      source.WriteToStream(writer);
      writer.Release();
    }
    // Reading appends structure items; a copy holds exactly the source's.
    structure_->Clear();
    TCSFStreamWinTypes reader(buffer, CSFMode::Read);
    ReadFromStream(reader);
    return true;
  });
  SetFileName(source.FileName());
}

TPageTemplate* TPageTemplateProject::FirstTemplate() const {
  return templates_->Count() > 0 ? templates_->Items(0) : nullptr;
}

// ---- TPrintWizardPageTemplateProjectProperties ----

TPrintWizardPageTemplateProjectProperties::TPrintWizardPageTemplateProjectProperties() {
  if (const TMetaClass* variablesClass = GetClass(kVariablesClassName)) {
    variables_ = CreateProperties(*variablesClass);
  }
}

TPrintWizardPageTemplateProjectProperties::~TPrintWizardPageTemplateProjectProperties() = default;

std::string TPrintWizardPageTemplateProjectProperties::EditorFrameClassNames() const {
  const std::string own = AppendEditorFrameClassName(
      TProperties::EditorFrameClassNames(), "TPrintWizardPageTemplateProjectPropertiesEditorFrame");
  return AppendEditorFrameClassName(own, "TPageTemplateVariablesPropertiesEditorFrame");
}

TStoredPart TPrintWizardPageTemplateProjectProperties::VariablesPart() {
  return {
      [this](TCSFStream& stream) {
        if (variables_) return variables_->WriteToStream(stream);
        stream.WriteBuffer(storedVariables_.data(), static_cast<int64_t>(storedVariables_.size()));
        return true;
      },
      [this](TCSFStream& stream) {
        if (variables_) return PartRead(variables_->ReadFromStream(stream));
        const std::string bytes = ReadRemainingBytes(stream);
        storedVariables_.assign(bytes.begin(), bytes.end());
        return TPartRead::Read;
      },
      [this](std::string_view name, TFieldWriter& fields) {
        if (variables_) {
          // The variable classes live above this library; their stored form is what it can
          // show.
          TMemoryStream stored;
          variables_->SaveToStream(stored, kTemplateProjectFileType, kTemplateProjectFileVersion);
          fields.Bytes(name, stored.ToString());
        } else {
          fields.Bytes(name, std::string_view(storedVariables_.data(), storedVariables_.size()));
        }
      }};
}

void TPrintWizardPageTemplateProjectProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] {
    map.String("author", author_);
    map.String("title", title_);
    map.String("description", description_);
    map.SubChunk([&] { map.Part("variables", VariablesPart()); });
    map.String("extra", extra_);
  });
}

// ---- TPrintWizardPageTemplateProject ----

TPrintWizardPageTemplateProject::TPrintWizardPageTemplateProject()
    : TPageTemplateProject(TPrintWizardPageTemplate::StaticClass()) {
  Properties().Add(StaticClass(), std::make_unique<TPrintWizardPageTemplateProjectProperties>(),
                   "Vorlagen-Projekt");
  FirstTemplate()->SetSize(210, 297);
}

bool TPrintWizardPageTemplateProject::SaveToStream(TStream& stream) const {
  return SaveToStream(stream, kTemplateProjectFileType, kTemplateProjectFileVersion);
}

bool TPrintWizardPageTemplateProject::SaveToFile(const std::string& fileName) const {
  return SaveToFile(fileName, kTemplateProjectFileType, kTemplateProjectFileVersion);
}

bool TPrintWizardPageTemplateProject::LoadFromFile(const std::string& fileName) {
  return LoadFromFile(fileName, kTemplateProjectFileType, kTemplateProjectFileVersion);
}

bool TPrintWizardPageTemplateProject::LoadFromStream(TStream& stream) {
  return LoadFromStream(stream, kTemplateProjectFileType, kTemplateProjectFileVersion);
}

std::string TPrintWizardPageTemplateProject::ExpandVariables(const std::string& text) const {
  return ExpandTemplateVariables(text, this);
}

TPrintWizardPageTemplateProjectProperties* TPrintWizardPageTemplateProject::ProjectProperties()
    const {
  return dynamic_cast<TPrintWizardPageTemplateProjectProperties*>(
      Properties().ByClass(TPrintWizardPageTemplateProjectProperties::StaticClass()));
}

}  // namespace nimbra
