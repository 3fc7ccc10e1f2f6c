#include <memory>
#include <stdexcept>

#include "KitRenderTestShow.h"
#include "elements/PrintPageElementPicture.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"

namespace nimbra::test {

void RepeatUntilTheShowEnds(TPageTemplateProject& project, TPageTemplate& pageTemplate) {
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
  project.Structure().GetItems()->Add(loopItem);
  auto page = std::make_unique<TPageTemplateStructureElementPage>();
  page->SetTemplate(&pageTemplate);
  loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(page)));
}

void WriteOnePictureProject(const std::string& path, TColor32 background, bool randomTurns) {
  TPrintWizardPageTemplateProject project;
  auto& pageTemplate = dynamic_cast<TPrintWizardPageTemplate&>(*project.FirstTemplate());
  pageTemplate.WizardProperties().SetBackColor(background);
  auto picture = std::make_unique<TPrintPageElementPicture>();
  picture->SetBounds(TDoubleRect{0.25, 0.25, 0.75, 0.75});
  picture->PictureProperties().SetRandomRotation(randomTurns);
  pageTemplate.Elements().Add(std::move(picture));
  RepeatUntilTheShowEnds(project, pageTemplate);
  if (!project.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

}  // namespace nimbra::test
