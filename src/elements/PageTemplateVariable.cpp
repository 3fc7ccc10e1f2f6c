#include "elements/PageTemplateVariable.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "elements/ListItemFields.h"
#include "elements/NamedEntries.h"
#include "framework/FieldMap.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageTemplateVariable, TProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStringVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateDateVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateTextVariable, TPageTemplateVariable)
NIMBRA_DEFINE_PLUGIN(TPageTemplateVariableProperties, TProperties)

namespace {

std::chrono::year_month_day Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

// Reads an unsigned decimal number of 1 to maxDigits digits at position at.
bool ReadNumber(const std::string& text, size_t& at, size_t maxDigits, int& value,
                size_t& digits) {
  const size_t start = at;
  while (at < text.size() && at - start < maxDigits && text[at] >= '0' && text[at] <= '9') ++at;
  digits = at - start;
  if (digits == 0) return false;
  return std::from_chars(text.data() + start, text.data() + at, value).ec == std::errc();
}

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

// ---- short dates ----

std::string FormatShortDate(std::chrono::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
  return text;
}

bool ParseShortDate(const std::string& text, std::chrono::year_month_day& date) {
  size_t at = 0;
  size_t digits = 0;
  int day = 0;
  int month = 0;
  int year = 0;
  if (!ReadNumber(text, at, 2, day, digits) || at >= text.size() || text[at++] != '.') return false;
  if (!ReadNumber(text, at, 2, month, digits) || at >= text.size() || text[at++] != '.') {
    return false;
  }
  if (!ReadNumber(text, at, 4, year, digits) || at != text.size()) return false;
  if (digits <= 2) year += year < 50 ? 2000 : 1900;
  const std::chrono::year_month_day parsed{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
  if (!parsed.ok() || year < 1) return false;
  date = parsed;
  return true;
}

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

TPageTemplateDateVariable::TPageTemplateDateVariable() : value_(Today()) {}

std::string TPageTemplateDateVariable::GetValueText() const { return FormatShortDate(value_); }

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
