#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "ManualTickSource.h"
#include "framework/Progress.h"

namespace nimbra {
namespace {

// A reporter whose events are all recorded as "<event>:<step caption>".
class RecordedProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    auto record = [this](const std::string& name) {
      return [this, name](TObject* sender, TSingleProgress& step) {
        EXPECT_EQ(sender, &progress);
        events.push_back(name + ":" + step.Caption());
      };
    };
    progress.OnProgress = record("progress");
    progress.OnMinMaxChanged = record("range");
    progress.OnCaptionChanged = record("text");
    progress.OnProgressAdded = record("added");
    progress.OnProgressDelete = record("delete");
    progress.OnProgressDeleted = [this](TObject* sender) {
      EXPECT_EQ(sender, &progress);
      events.push_back("deleted");
    };
  }
  std::vector<std::string> TakeEvents() { return std::exchange(events, {}); }

  TProgress progress;
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST_F(RecordedProgress, StepChangesRaiseEventsOnlyWhenSomethingChanged) {
  TSingleProgress* step = progress.AddStep(0, 10, "Seiten");
  EXPECT_EQ(TakeEvents(), Events{"added:Seiten"});
  EXPECT_EQ(step->Position(), 0);

  step->SetPosition(0);
  step->SetText("");
  step->SetMaximum(10);
  step->SetPositionAndText(0, "");
  EXPECT_EQ(TakeEvents(), Events{});

  step->SetPosition(3);
  step->SetText("Seite 3");
  step->SetMinimum(1);
  EXPECT_EQ(TakeEvents(), (Events{"progress:Seiten", "text:Seiten", "range:Seiten"}));

  // Both values at once notify the position a single time, also when only the text differs.
  step->SetPositionAndText(4, "Seite 4");
  step->SetPositionAndText(4, "Seite 4b");
  EXPECT_EQ(TakeEvents(), (Events{"progress:Seiten", "progress:Seiten"}));
  EXPECT_EQ(step->Text(), "Seite 4b");
}

TEST_F(RecordedProgress, StepByAndFinishMoveThePosition) {
  TSingleProgress* step = progress.AddStep(0, 100, "Bilder");
  TakeEvents();
  step->StepBy("eins", 5);
  step->StepBy("eins", 5);
  EXPECT_EQ(step->Position(), 10);
  EXPECT_EQ(TakeEvents(), (Events{"text:Bilder", "progress:Bilder", "progress:Bilder"}));
  step->StepBy("eins", 0);
  EXPECT_EQ(TakeEvents(), Events{});

  step->Finish();
  EXPECT_EQ(step->Position(), 100);
  step->Finish();
  EXPECT_EQ(TakeEvents(), Events{"progress:Bilder"});

  step->SetPosition(std::numeric_limits<int32_t>::max() - 1);
  step->StepBy("eins", 10);
  EXPECT_EQ(step->Position(), std::numeric_limits<int32_t>::max());
}

TEST_F(RecordedProgress, RemovingAStepFreesItOnceAndIgnoresStrangers) {
  TSingleProgress* outer = progress.AddStep(0, 2, "außen");
  TSingleProgress* inner = progress.AddStep(0, 5, "innen");
  TakeEvents();

  progress.RemoveStep(inner);
  EXPECT_EQ(TakeEvents(), (Events{"delete:innen", "deleted"}));
  ASSERT_EQ(progress.StepCount(), 1);
  EXPECT_EQ(&progress.Steps(0), outer);

  // inner is gone: the pointer is only compared, never followed.
  progress.RemoveStep(inner);
  progress.RemoveStep(nullptr);
  TSingleProgress stranger(0, 1, "fremd");
  progress.RemoveStep(&stranger);
  EXPECT_EQ(TakeEvents(), Events{});
  EXPECT_EQ(progress.StepCount(), 1);

  progress.RemoveStepAndNil(outer);
  EXPECT_EQ(outer, nullptr);
  EXPECT_EQ(TakeEvents(), (Events{"delete:außen", "deleted"}));
  EXPECT_EQ(progress.StepCount(), 0);
}

TEST_F(RecordedProgress, AddedStepsReportThroughTheirReporter) {
  auto own = std::make_unique<TSingleProgress>(0, 3, "eigen");
  TSingleProgress* step = progress.AddProgress(std::move(own));
  step->SetPosition(1);
  EXPECT_EQ(TakeEvents(), (Events{"added:eigen", "progress:eigen"}));
}

TEST(ProgressTest, MessagesArePumpedAtMostOncePerDelay) {
  test::ManualTickSource clock;
  TProgress progress;
  int pumped = 0;
  progress.MessagePump = [&pumped] { ++pumped; };
  TSingleProgress* step = progress.AddStep(0, 100, "Arbeit");

  step->SetPosition(1);
  EXPECT_EQ(pumped, 0) << "pumping is off by default";

  progress.ProcessMessages = true;
  step->SetPosition(2);
  EXPECT_EQ(pumped, 1);
  EXPECT_EQ(progress.LastProcessTime(), clock.Now());

  clock.Advance(500);  // not more than the delay yet
  step->SetPosition(3);
  EXPECT_EQ(pumped, 1);
  clock.Advance(1);
  step->SetPosition(4);
  EXPECT_EQ(pumped, 2);

  // Only position changes pump.
  clock.Advance(10'000);
  step->SetText("anderer Text");
  step->SetMaximum(200);
  EXPECT_EQ(pumped, 2);
}

}  // namespace
}  // namespace nimbra
