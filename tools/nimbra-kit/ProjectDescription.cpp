#include <ostream>

#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "framework/Properties.h"
#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/JsonFieldWriter.h"
#include "storage/CSFStream.h"
#include "templates/ElementBinding.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElementBags.h"

namespace nimbra::kit {

namespace {

TJson DescribeVariables(const TPrintWizardPageTemplateProjectProperties& bag) {
  TJson variables = TJson::array();
  const auto* stored = dynamic_cast<const TPageTemplateVariableProperties*>(bag.Variables());
  if (stored == nullptr) return variables;
  for (int32_t i = 0; i < stored->Variables().Count(); ++i) {
    const TPageTemplateVariable& variable = stored->Variables().Items(i);
    variables.push_back({{"name", variable.VariableName()}, {"value", variable.GetValueText()}});
  }
  return variables;
}

TJson DescribeProjectBag(const TPrintWizardPageTemplateProject& project) {
  const TPrintWizardPageTemplateProjectProperties* bag = project.ProjectProperties();
  if (bag == nullptr) return TJson();
  return {{"title", bag->Title()},
          {"author", bag->Author()},
          {"description", bag->Description()},
          {"variables", DescribeVariables(*bag)}};
}

// A picture's effects in order, each with its class and its settings as stored.
TJson DescribeEffects(const TPrintWizardPictureEffectList& effects) {
  TJson list = TJson::array();
  for (int32_t i = 0; i < effects.Count(); ++i) {
    const TPrintWizardPictureEffect* effect = effects.Effects(i);
    if (effect == nullptr) continue;
    TJson fields = TJson::object();
    if (const TProperties* bag = effect->Properties()) {
      TJsonFieldWriter writer(fields);
      bag->DescribeFields(writer);
    }
    list.push_back({{"class", effect->ClassName()}, {"fields", std::move(fields)}});
  }
  return list;
}

// Elements that are not visible have no rectangle; those that bind no object take none.
TJson DescribeElement(TPageElement& element) {
  TJson rect;
  if (const auto* visible = Supports<IVisiblePageElement>(&element)) {
    const TDoubleRect bounds = visible->GetBounds();
    rect = TJson::array({bounds.Left, bounds.Top, bounds.Right, bounds.Bottom});
  }
  const auto* consumer = Supports<IObjectConsumer>(&element);
  TJson json = {{"class", element.ClassName()},
                {"rect", std::move(rect)},
                {"takesObject", consumer != nullptr && consumer->TakesObject()}};
  if (const auto* picture = dynamic_cast<const TPrintPageElementPicture*>(&element)) {
    json["effects"] = DescribeEffects(picture->PictureProperties().Effects());
  }
  return json;
}

// "angle 45, distance 0.2, ...": the fields of an effect on one line.
std::string FieldsText(const TJson& fields) {
  std::string text;
  for (const auto& [name, value] : fields.items()) {
    text += (text.empty() ? "" : ", ") + name + " " +
            (value.is_string() ? value.get<std::string>() : value.dump());
  }
  return text;
}

// Sizes, colour and picture belong to the system's own template class; other template classes
// stored in a project show them as null.
TJson DescribeTemplate(TPageTemplate& pageTemplate) {
  TJson json;
  json["id"] = pageTemplate.ID();
  json["name"] = pageTemplate.Properties().Name();
  json["class"] = pageTemplate.ClassName();
  const auto* wizard = dynamic_cast<const TPrintWizardPageTemplate*>(&pageTemplate);
  const TPrintWizardPageTemplateProperties* bag =
      wizard != nullptr ? &wizard->WizardProperties() : nullptr;
  json["widthCm"] = bag != nullptr ? TJson(bag->PageWidth()) : TJson();
  json["heightCm"] = bag != nullptr ? TJson(bag->PageHeight()) : TJson();
  json["backgroundColor"] = bag != nullptr ? TJson(ColorText(bag->BackColor())) : TJson();
  json["backgroundPicture"] = bag != nullptr ? TJson(bag->BackgroundFile()) : TJson();
  TJson elements = TJson::array();
  for (int32_t i = 0; i < pageTemplate.Elements().Count(); ++i) {
    if (TPageElement* element = pageTemplate.Elements().Items(i)) {
      elements.push_back(DescribeElement(*element));
    }
  }
  json["elements"] = std::move(elements);
  return json;
}

TJson DescribeTemplates(const TPageTemplateList& templates) {
  TJson list = TJson::array();
  for (int32_t i = 0; i < templates.Count(); ++i) {
    if (TPageTemplate* pageTemplate = templates.Items(i))
      list.push_back(DescribeTemplate(*pageTemplate));
  }
  return list;
}

// The tree reader stops at kMaxTreeDepth, so this recursion is bounded.
TJson DescribeStructure(const TRef<ITreeItemList>& items) {
  TJson list = TJson::array();
  if (!items) return list;
  for (int32_t i = 0; i < items->Count(); ++i) {
    const TRef<ITreeItem> item = items->GetItem(i);
    if (!item) continue;
    TObject* object = item->GetObject();
    TJson json;
    json["class"] = object != nullptr ? object->ClassName() : std::string();
    const auto* element = dynamic_cast<const TPageTemplateStructureElement*>(object);
    if (const auto* page = element != nullptr
                               ? element->PropertiesAs<TStructureElementPageProperties>()
                               : nullptr) {
      json["templateId"] = page->TemplateID();
    }
    json["children"] = DescribeStructure(item->GetChildren());
    list.push_back(std::move(json));
  }
  return list;
}

std::string RectText(const TJson& rect) {
  if (rect.is_null()) return "no rectangle";
  std::string text = "[";
  for (size_t i = 0; i < rect.size(); ++i) text += (i == 0 ? "" : ", ") + rect[i].dump();
  return text + "]";
}

void PrintTemplates(const TJson& templates, std::ostream& out) {
  out << "templates:" << (templates.empty() ? " (none)" : "") << "\n";
  for (const TJson& page : templates) {
    out << "  " << page["id"] << " " << QuotedText(page["name"].get<std::string>()) << " "
        << page["class"].get<std::string>();
    if (!page["widthCm"].is_null()) {
      out << ", " << page["widthCm"] << " x " << page["heightCm"] << " cm, background "
          << page["backgroundColor"].get<std::string>();
      if (!page["backgroundPicture"].get<std::string>().empty()) {
        out << ", picture: " << QuotedText(page["backgroundPicture"].get<std::string>());
      }
    }
    out << "\n";
    for (const TJson& element : page["elements"]) {
      out << "    " << element["class"].get<std::string>() << " " << RectText(element["rect"])
          << (element["takesObject"].get<bool>() ? ", takes an object" : "") << "\n";
      if (!element.contains("effects")) continue;
      for (const TJson& effect : element["effects"]) {
        out << "      effect " << effect["class"].get<std::string>();
        const std::string fields = FieldsText(effect["fields"]);
        out << (fields.empty() ? "" : ": " + fields) << "\n";
      }
    }
  }
}

void PrintStructure(const TJson& items, int depth, std::ostream& out) {
  for (const TJson& item : items) {
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << item["class"].get<std::string>();
    if (item.contains("templateId")) out << ", template " << item["templateId"];
    out << "\n";
    PrintStructure(item["children"], depth + 1, out);
  }
}

}  // namespace

TJson InspectTemplateProject(TStream& stream) {
  TJson json;
  {
    TCSFStream header(stream, CSFMode::Read);
    json["fileType"] = header.FileType();
    json["fileVersion"] = header.FileVersion();
  }
  stream.SetPosition(0);
  TPrintWizardPageTemplateProject project;
  // A project damaged further on is shown as far as it could be read, as the album uses it.
  json["loaded"] = project.LoadFromStream(stream);
  json["project"] = DescribeProjectBag(project);
  json["templates"] = DescribeTemplates(project.Templates());
  json["structure"] = DescribeStructure(project.Structure().GetItems());
  return json;
}

void PrintTemplateProjectOutline(const TJson& description, std::ostream& out) {
  out << "template project: file type " << description["fileType"] << ", version "
      << description["fileVersion"] << "\n"
      << "loaded: "
      << (description["loaded"].get<bool>() ? "yes" : "no, damaged; what was read is shown")
      << "\n";
  const TJson& project = description["project"];
  if (project.is_object()) {
    out << "project:\n";
    for (const char* key : {"title", "author", "description"}) {
      out << "  " << key << ": " << project[key].get<std::string>() << "\n";
    }
    out << "  variables:" << (project["variables"].empty() ? " (none)" : "") << "\n";
    for (const TJson& variable : project["variables"]) {
      out << "    " << variable["name"].get<std::string>() << " = "
          << QuotedText(variable["value"].get<std::string>()) << "\n";
    }
  }
  PrintTemplates(description["templates"], out);
  out << "structure:" << (description["structure"].empty() ? " (none)" : "") << "\n";
  PrintStructure(description["structure"], 1, out);
}

}  // namespace nimbra::kit
