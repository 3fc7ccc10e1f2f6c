// What the renderer asks of the elements of a project's structure. It learns an element's kind by
// the interfaces it offers (page, event, jump, jump mark, loop) and walks the slideshow tree with
// their answers. Objects are slideshow tree items; none stands for "past the last object".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/CustomTree.h"
#include "framework/Interface.h"

namespace nimbra {

class TPageTemplate;

// A named position in the slideshow, recorded by a jump mark while the structure is walked.
class IJumpMarkInfo : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{D9FBAF79-408D-4F01-8CD5-D919B2F97CA4}";

  virtual TRef<ITreeItem> GetObject() const = 0;
  virtual bool GetValid() const = 0;
  virtual void SetObject(const TRef<ITreeItem>& object) = 0;
  virtual void SetValid(bool valid) = 0;
  virtual std::string GetName() const = 0;
  virtual void SetName(const std::string& name) = 0;
};

// The jump marks recorded so far, in the order they were last recorded.
using TJumpMarks = std::vector<TRef<IJumpMarkInfo>>;

// The first mark whose name equals the name (ASCII letters in any case), or none.
TRef<IJumpMarkInfo> FindJumpMark(const TJumpMarks& marks, std::string_view name);

class IStructurePage : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{571EBB98-6C5A-4A82-A4A6-7C6EB83727DA}";

  // Remembers the template's ID, or 0 for none.
  virtual void SetTemplate(const TPageTemplate* pageTemplate) = 0;
  // The project's template with the remembered ID; none without a project or such a template.
  virtual TPageTemplate* GetTemplate() const = 0;
};

class IStructureEvent : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{B2ED3975-6738-4A51-93FF-155F2B591B90}";

  virtual bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                           const TJumpMarks& marks) const = 0;
};

class IStructureJump : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{28A9EEDA-DF44-4B10-A714-50E893128C30}";

  // Where the slideshow position goes; the current object when the element has no jump.
  virtual TRef<ITreeItem> Target(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                                 const TJumpMarks& marks) const = 0;
};

class IStructureJumpMark : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{99DD7B6C-FA78-4F7B-A259-E5FE18056777}";

  // Fills the record with the current object under the element's name; an element without a
  // name fills it with none, not valid and an empty name.
  virtual void Record(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                      IJumpMarkInfo& record) const = 0;
};

class IStructureElementLoop : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{8E6A075F-717A-4A20-A89D-4695A57F4961}";

  // The loop's condition; true for a loop without one.
  virtual bool IsLoopEnd(const TRef<ITreeItem>& current, const TRef<ITreeItem>& loopStart,
                         const TJumpMarks& marks) const = 0;
  // Whether the condition is tested before the body runs (Mode 0 or 2) and after it (1 or 2).
  virtual bool ChecksBefore() const = 0;
  virtual bool ChecksAfter() const = 0;
};

// The photos a page would show, as the renderer sees them before it makes the page: the first
// (none past the end), and how many are left before the page would have to end, counted up to
// the most any alternative of the choice takes.
struct TPhotosAhead {
  TRef<ITreeItem> First;
  int32_t Count = 0;
};

// A page whose template is chosen when the page is made, among alternatives, by the photos it
// would show.
class IStructurePageChoice : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{4C1F7E2A-93B5-4D8E-A6F0-2B7D19C35E84}";

  // How far the renderer needs to count photos ahead.
  virtual int32_t MostPhotos() const = 0;
  // The template for the page; none when the choice has no alternative with a template.
  virtual TPageTemplate* ChooseTemplate(const TPhotosAhead& ahead) const = 0;
};

// Marks the elements whose children are a body run under a condition (events and loops).
class IStructureBranch : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{E2E461D4-321F-4144-B66B-0F1FF0139E3B}";
};

}  // namespace nimbra
