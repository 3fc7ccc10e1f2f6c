#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ErrorCounter.h"

namespace nimbra {
namespace {

// Records every event as "<event>:<index>:<type>".
struct EventLog {
  std::vector<std::string> entries;
  TOnErrorNotify Recorder(const std::string& name, TErrorCounter& expectedSender) {
    return [this, name, &expectedSender](TObject* sender, int32_t index, TErrorType type) {
      EXPECT_EQ(sender, &expectedSender);
      entries.push_back(name + ":" + std::to_string(index) + ":" +
                        std::to_string(static_cast<int>(type)));
    };
  }
};

TEST(ErrorCounterTest, EventsGiveTheIndexInTheirOwnListSeverityEventFirst) {
  TErrorCounter counter;
  EventLog log;
  counter.OnCriticalError = log.Recorder("critical", counter);
  counter.OnWarning = log.Recorder("warning", counter);
  counter.OnHint = log.Recorder("hint", counter);
  counter.OnError = log.Recorder("error", counter);

  counter.AddCriticalError(std::make_unique<TError>("kaputt", 7));
  counter.AddHintText("Hinweis");
  counter.AddCriticalError(std::make_unique<TError>("noch einmal"));
  counter.AddWarning(std::make_unique<TError>("Warnung", 3));

  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"critical:0:1", "error:0:1", "hint:0:3", "error:0:3",
                                      "critical:1:1", "error:1:1", "warning:0:2", "error:0:2"}));
  EXPECT_EQ(counter.CriticalCount(), 2);
  EXPECT_EQ(counter.HintCount(), 1);
  EXPECT_EQ(counter.WarningCount(), 1);
}

TEST(ErrorCounterTest, ListsKeepTheErrorsTheyWereGiven) {
  TErrorCounter counter;
  auto error = std::make_unique<TError>("Datei fehlt", 42);
  const TError* given = error.get();
  TError& added = counter.AddCriticalError(std::move(error));
  EXPECT_EQ(&added, given);
  EXPECT_EQ(&counter.CriticalErrors().Items(0), given);
  EXPECT_EQ(counter.CriticalErrors().Items(0).ErrorNr, 42);

  TError& hint = counter.AddHintText("nur ein Hinweis");
  EXPECT_EQ(hint.ErrorNr, -1);
  EXPECT_EQ(hint.Text, "nur ein Hinweis");
  EXPECT_EQ(&counter.Hints().Items(0), &hint);
  EXPECT_THROW(counter.Hints().Items(1), std::out_of_range);
}

TEST(ErrorCounterTest, OnlyCriticalErrorsCountAsCritical) {
  TErrorCounter counter;
  EXPECT_FALSE(counter.HasCriticalErrors());
  for (int i = 0; i < 5; ++i) counter.AddHintText("Hinweis " + std::to_string(i));
  counter.AddWarning(std::make_unique<TError>("Warnung"));
  EXPECT_FALSE(counter.HasCriticalErrors());
  EXPECT_EQ(counter.HintCount(), 5);
  counter.AddCriticalError(std::make_unique<TError>("Fehler"));
  EXPECT_TRUE(counter.HasCriticalErrors());
}

TEST(ErrorCounterTest, WorksWithoutEvents) {
  TErrorCounter counter;
  counter.AddCriticalError(std::make_unique<TError>("ohne Zuhörer"));
  EXPECT_EQ(counter.CriticalErrors().Items(0).Text, "ohne Zuhörer");
  EXPECT_THROW(counter.AddHint(nullptr), std::invalid_argument);
  EXPECT_EQ(counter.HintCount(), 0);
}

}  // namespace
}  // namespace nimbra
