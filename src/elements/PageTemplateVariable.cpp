#include "elements/PageTemplateVariable.h"

#include "elements/ListItemFields.h"
#include "elements/NamedEntries.h"
#include "framework/FieldMap.h"
#include "slideshow/DateTimeFormat.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageTemplateVariable, TProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStringVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateDateVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateTextVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateVariableProperties, TProperties)

namespace {

// The lines between line breaks (CR LF, LF or CR); a break at the end leaves an empty last line, so
// that joining the lines with CR LF gives the text back.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
}

}  // namespace

// ---- TPageTemplateVariable ----

void TPageTemplateVariable::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] {
    map.String("variableName", variableName_);
    map.String("comment", comment_);
    map.Text("value", GetValueText(),
             [this](const std::string& text) { return SetValueText(text); });
  });
}

bool TPageTemplateStringVariable::SetValueText(const std::string& text) {
  value_ = text;
  return true;
}

TPageTemplateDateVariable::TPageTemplateDateVariable() : value_(LocalNow().Date) {}

std::string TPageTemplateDateVariable::GetValueText() const {
  return FormatShortDate(value_);
}

bool TPageTemplateDateVariable::SetValueText(const std::string& text) {
  return ParseShortDate(text, value_);
}

bool TPageTemplateTextVariable::SetValueText(const std::string& text) {
  lines_ = LinesOf(text);
  return true;
}

// ---- TPageTemplateVariableList ----

int32_t TPageTemplateVariableList::AddVariable(const TMetaClass& variableClass) {
  std::unique_ptr<TPageTemplateVariable> variable = CreateAs<TPageTemplateVariable>(variableClass);
  if (!variable) return -1;
  const auto index = static_cast<int32_t>(items_.size());
  variable->SetVariableName("Variable" + std::to_string(index));
  items_.push_back(std::move(variable));
  return index;
}

TPageTemplateVariable* TPageTemplateVariableList::FindByName(const std::string& name) const {
  for (const auto& variable : items_) {
    if (variable->VariableName() == name) return variable.get();
  }
  return nullptr;
}

// ---- TPageTemplateVariableProperties ----

TStoredPart TPageTemplateVariableProperties::VariablesPart() {
  return {[this](TCSFStream& stream) { return WriteNamedEntries(stream, variables_); },
          [this](TCSFStream& stream) {
            variables_.Clear();
            const int32_t count = stream.ReadInteger();
            bool read = true;
            // Every entry takes at least its length field, so a count beyond the data ends in a
            // read error once the data is used up; nothing is allocated for the count itself.
            for (int32_t i = 0; i < count; ++i) {
              TReadSubChunk entry(stream);
              const TMetaClass* variableClass = stream.ReadClass();
              if (variableClass == nullptr) continue;
              const int32_t index = variables_.AddVariable(*variableClass);
              if (index < 0) continue;
              read = variables_.Items(index).ReadFromStream(stream) && read;
            }
            return PartRead(read);
          },
          [this](std::string_view name, TFieldWriter& fields) {
            fields.Integer(name, variables_.Count());
            for (int32_t i = 0; i < variables_.Count(); ++i) {
              const TPageTemplateVariable& variable = variables_.Items(i);
              TListItemFields item(fields, name, i);
              fields.Text(item.ItemName(), variable.ClassName());
              variable.DescribeFields(item);
            }
          }};
}

void TPageTemplateVariableProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] { map.Part("variables", VariablesPart()); });
}

}  // namespace nimbra
