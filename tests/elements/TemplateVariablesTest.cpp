// The template variables a project defines: their kinds, their list, and their bag's stored form.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "elements/PageTemplateVariable.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {
namespace {

using test::ReadBag;
using test::WriteBag;

class TemplateVariablesTest : public test::TElementsTest {};

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month_day;

TEST_F(TemplateVariablesTest, NewVariablesAreNamedByTheirPlaceInTheList) {
  TPageTemplateVariableList list;
  EXPECT_EQ(list.AddVariable(TPageTemplateStringVariable::StaticClass()), 0);
  EXPECT_EQ(list.AddVariable(TPageTemplateTextVariable::StaticClass()), 1);
  EXPECT_EQ(list.AddVariable(TPageTemplateVariable::StaticClass()), -1);  // abstract
  EXPECT_EQ(list.AddVariable(TPageTemplateVariableProperties::StaticClass()), -1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).VariableName(), "Variable0");
  EXPECT_EQ(list.Items(1).VariableName(), "Variable1");
  EXPECT_EQ(list.Items(0).GetValueText(), "Inhalt");
  EXPECT_EQ(list.Items(0).EditorHeight(), 21);
  EXPECT_EQ(list.Items(1).EditorHeight(), 60);

  list.Items(1).SetVariableName("Ort");
  EXPECT_EQ(list.FindByName("Ort"), &list.Items(1));
  EXPECT_EQ(list.FindByName("ort"), nullptr);
  EXPECT_EQ(list.FindByName("Variable1"), nullptr);
}

TEST_F(TemplateVariablesTest, ValuesTravelAsText) {
  TPageTemplateTextVariable text;
  ASSERT_TRUE(text.SetValueText("erste\r\nzweite\nletzte"));
  EXPECT_EQ(text.Lines(), (std::vector<std::string>{"erste", "zweite", "letzte"}));
  EXPECT_EQ(text.GetValueText(), "erste\r\nzweite\r\nletzte");

  TPageTemplateDateVariable date;
  EXPECT_TRUE(date.Value().ok());
  ASSERT_TRUE(date.SetValueText("3.7.2024"));
  EXPECT_EQ(date.Value(), (year_month_day{year{2024}, month{7}, day{3}}));
  EXPECT_EQ(date.GetValueText(), "03.07.2024");
  ASSERT_TRUE(date.SetValueText("29.02.24"));
  EXPECT_EQ(date.GetValueText(), "29.02.2024");
  for (const char* bad : {"", "31.02.2023", "1.2", "1.2.2023 ", "a.b.c", "01.13.2020"}) {
    EXPECT_FALSE(date.SetValueText(bad)) << bad;
  }
  EXPECT_EQ(date.GetValueText(), "29.02.2024");
}

TEST_F(TemplateVariablesTest, VariableIsNameCommentAndValueInOneSubChunk) {
  TPageTemplateStringVariable variable;
  variable.SetVariableName("Ort");
  variable.SetComment("wo");
  ASSERT_TRUE(variable.SetValueText("Berlin"));
  TMemoryStream expected;
  {
    TCSFStreamWinTypes csf(expected, CSFMode::Headerless);
    csf.BeginSubChunk();
    csf.WriteString("Ort");
    csf.WriteString("wo");
    csf.WriteString("Berlin");
    csf.EndSubChunk();
    csf.Release();
  }
  EXPECT_EQ(WriteBag(variable), expected.ToString());
}

void FillVariables(TPageTemplateVariableProperties& bag) {
  TPageTemplateVariableList& list = bag.Variables();
  list.AddVariable(TPageTemplateStringVariable::StaticClass());
  list.AddVariable(TPageTemplateDateVariable::StaticClass());
  list.AddVariable(TPageTemplateTextVariable::StaticClass());
  list.Items(0).SetVariableName("Ort");
  list.Items(0).SetComment("Wo wir waren");
  ASSERT_TRUE(list.Items(0).SetValueText("Berlin"));
  ASSERT_TRUE(list.Items(1).SetValueText("24.12.2023"));
  ASSERT_TRUE(list.Items(2).SetValueText("Zeile 1\r\nZeile 2"));
}

TEST_F(TemplateVariablesTest, BagKeepsEveryVariableWithItsKind) {
  TPageTemplateVariableProperties bag;
  FillVariables(bag);
  const std::string bytes = WriteBag(bag);

  TPageTemplateVariableProperties copy;
  copy.Variables().AddVariable(TPageTemplateStringVariable::StaticClass());  // replaced
  ASSERT_TRUE(ReadBag(copy, bytes));
  const TPageTemplateVariableList& list = copy.Variables();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(0).ClassName(), "TPageTemplateStringVariable");
  EXPECT_EQ(list.Items(0).VariableName(), "Ort");
  EXPECT_EQ(list.Items(0).Comment(), "Wo wir waren");
  EXPECT_EQ(list.Items(0).GetValueText(), "Berlin");
  EXPECT_EQ(list.Items(1).ClassName(), "TPageTemplateDateVariable");
  EXPECT_EQ(list.Items(1).VariableName(), "Variable1");
  EXPECT_EQ(list.Items(1).GetValueText(), "24.12.2023");
  EXPECT_EQ(list.Items(2).GetValueText(), "Zeile 1\r\nZeile 2");
  EXPECT_EQ(WriteBag(copy), bytes);
}

// A bag whose second entry is of a class nobody knows.
std::string BagWithUnknownEntry() {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
  auto entry = [&](const std::string& className, const std::string& name,
                   const std::string& value) {
    csf.BeginSubChunk();
    csf.WriteString(className);
    csf.BeginSubChunk();
    csf.WriteString(name);
    csf.WriteString("");
    csf.WriteString(value);
    csf.EndSubChunk();
    csf.EndSubChunk();
  };
  csf.BeginSubChunk();
  csf.WriteInteger(3);
  entry("TPageTemplateStringVariable", "Erste", "eins");
  entry("TPageTemplateColorVariable", "Farbe", "rot");
  entry("TPageTemplateTextVariable", "Dritte", "drei");
  csf.EndSubChunk();
  csf.Release();
  return bytes.ToString();
}

TEST_F(TemplateVariablesTest, UnknownVariableKindIsSkippedAndTheRestRead) {
  TPageTemplateVariableProperties bag;
  ASSERT_TRUE(ReadBag(bag, BagWithUnknownEntry()));
  ASSERT_EQ(bag.Variables().Count(), 2);
  EXPECT_EQ(bag.Variables().Items(0).VariableName(), "Erste");
  EXPECT_EQ(bag.Variables().Items(1).VariableName(), "Dritte");
  EXPECT_EQ(bag.Variables().Items(1).GetValueText(), "drei");
}

TEST_F(TemplateVariablesTest, UnreadableDateFailsTheRead) {
  TMemoryStream bytes;
  {
    TCSFStreamWinTypes csf(bytes, CSFMode::Headerless);
    csf.BeginSubChunk();
    csf.WriteInteger(1);
    csf.BeginSubChunk();
    csf.WriteString("TPageTemplateDateVariable");
    csf.BeginSubChunk();
    csf.WriteString("Tag");
    csf.WriteString("");
    csf.WriteString("12/24/2023");
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.EndSubChunk();
    csf.Release();
  }
  TPageTemplateVariableProperties bag;
  EXPECT_FALSE(ReadBag(bag, bytes.ToString()));
  ASSERT_EQ(bag.Variables().Count(), 1);
  EXPECT_EQ(bag.Variables().Items(0).VariableName(), "Tag");
}

TEST_F(TemplateVariablesTest, ProjectKeepsItsVariablesThroughItsFile) {
  TPrintWizardPageTemplateProject project;
  ASSERT_NE(project.ProjectProperties(), nullptr);
  auto* variables =
      dynamic_cast<TPageTemplateVariableProperties*>(project.ProjectProperties()->Variables());
  ASSERT_NE(variables, nullptr);
  FillVariables(*variables);

  TMemoryStream file;
  ASSERT_TRUE(project.SaveToStream(file));
  file.SetPosition(0);
  TPrintWizardPageTemplateProject loaded;
  ASSERT_TRUE(loaded.LoadFromStream(file));
  const auto* read =
      dynamic_cast<TPageTemplateVariableProperties*>(loaded.ProjectProperties()->Variables());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(WriteBag(*read), WriteBag(*variables));
}

}  // namespace
}  // namespace nimbra
