// The variables a template author defines in a template project: a name and a value that is one
// line of text, a date or several lines. Texts on the project's pages use them as %name%. The
// project keeps them in a TPageTemplateVariableProperties bag.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/FieldMap.h"
#include "framework/Properties.h"

namespace nimbra {

class TPageTemplateVariable : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // One sub-chunk: VariableName, Comment, then the value as GetValueText gives it. Reading applies
  // the value with SetValueText and fails when that refuses it.
  void MapFields(TFieldMap& map) override;

  // The height in pixels an editor of the value takes.
  virtual int32_t EditorHeight() const { return 21; }
  virtual std::string GetValueText() const = 0;
  // False when the text is no value of the kind; the value then stays.
  virtual bool SetValueText(const std::string& text) = 0;

  // The key under which the variable is expanded.
  const std::string& VariableName() const { return variableName_; }
  void SetVariableName(std::string name) { variableName_ = std::move(name); }
  // Stored and loaded; expansion does not use it.
  const std::string& Comment() const { return comment_; }
  void SetComment(std::string comment) { comment_ = std::move(comment); }

 protected:
  TPageTemplateVariable() = default;

 private:
  std::string variableName_;
  std::string comment_;
};

// One line of text.
class TPageTemplateStringVariable : public TPageTemplateVariable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStringVariable() = default;

  std::string GetValueText() const override { return value_; }
  bool SetValueText(const std::string& text) override;

 private:
  std::string value_ = "Inhalt";
};

// A date, written and read in the short date format (day.month.year).
class TPageTemplateDateVariable : public TPageTemplateVariable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // Today.
  TPageTemplateDateVariable();

  std::string GetValueText() const override;
  bool SetValueText(const std::string& text) override;

  std::chrono::year_month_day Value() const { return value_; }
  void SetValue(std::chrono::year_month_day date) { value_ = date; }

 private:
  std::chrono::year_month_day value_;
};

// Several lines, joined with CR LF as text; a text is split at its line breaks.
class TPageTemplateTextVariable : public TPageTemplateVariable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateTextVariable() = default;

  int32_t EditorHeight() const override { return 60; }
  std::string GetValueText() const override { return JoinLines(lines_); }
  bool SetValueText(const std::string& text) override;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

class TPageTemplateVariableList {
 public:
  TPageTemplateVariableList() = default;
  TPageTemplateVariableList(const TPageTemplateVariableList&) = delete;
  TPageTemplateVariableList& operator=(const TPageTemplateVariableList&) = delete;

  // Appends a new variable of the class, named "Variable" and its index; -1 when the class makes
  // no variable.
  int32_t AddVariable(const TMetaClass& variableClass);
  // The first variable with exactly this name (letter case counts), or none.
  TPageTemplateVariable* FindByName(const std::string& name) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Raises std::out_of_range outside the list.
  TPageTemplateVariable& Items(int32_t index) const { return *items_.at(static_cast<size_t>(index)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TPageTemplateVariable>> items_;
};

class TPageTemplateVariableProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateVariableProperties() = default;

  // One sub-chunk: the number of variables, then per variable a sub-chunk with its class name and
  // its own sub-chunk. Reading replaces the list; variables of unknown classes are passed over.
  void MapFields(TFieldMap& map) override;

  TPageTemplateVariableList& Variables() { return variables_; }
  const TPageTemplateVariableList& Variables() const { return variables_; }

 private:
  TStoredPart VariablesPart();

  TPageTemplateVariableList variables_;
};

}  // namespace nimbra
