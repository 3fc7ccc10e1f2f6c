#include "slideshow/TimeCurve.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

struct TKeyData {
  int32_t Time;
  int32_t Value;
  bool Linear = false;
};

struct TPointData {
  int32_t Time;
  TCurvePoint Point;
  bool Linear = false;
};

// A curve of the keys, each made of its data.
template <typename Curve, typename Key, typename Data>
Curve CurveOf(const std::vector<Data>& keys) {
  Curve curve;
  for (const Data& data : keys) {
    auto key = std::make_unique<Key>();
    key->Time = data.Time;
    key->Linear = data.Linear;
    if constexpr (std::is_same_v<Data, TKeyData>) {
      key->Value = data.Value;
    } else {
      key->Point = data.Point;
    }
    curve.AddKey(std::move(key));
  }
  return curve;
}

TTimeToIntegerValue IntegerCurve(const std::vector<TKeyData>& keys, int32_t min = 0,
                                 int32_t max = 0) {
  TTimeToIntegerValue curve = CurveOf<TTimeToIntegerValue, TTimeIntegerValue>(keys);
  curve.MinValue = min;
  curve.MaxValue = max;
  return curve;
}

TTimeToVector2DValue PointCurve(const std::vector<TPointData>& keys) {
  return CurveOf<TTimeToVector2DValue, TTimeVector2DValue>(keys);
}

std::string Saved(const TTimeToValue& curve) {
  TMemoryStream bytes;
  TCSFStream stream(bytes, CSFMode::Headerless);
  curve.SaveToStream(stream);
  return bytes.ToString();
}

class TimeCurveTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTimeValueClasses(); }
  void TearDown() override { UnregisterTimeValueClasses(); }
};

TEST_F(TimeCurveTest, IntegerValuesAreStraightParabolicOrBlendedAsTheCornersSay) {
  // The parabola through (0, 0), (100, 100), (200, 0) is 2t − t²/100.
  const std::vector<TKeyData> arch{{0, 0}, {100, 100}, {200, 0}};
  const std::vector<TKeyData> archFirstStraight{{0, 0, true}, {100, 100, true}, {200, 0}};
  const std::vector<TKeyData> archLastTwoStraight{{0, 0}, {100, 100, true}, {200, 0, true}};
  const std::vector<TKeyData> archLastAllStraight{{0, 0, true}, {100, 100, true}, {200, 0, true}};
  // Four keys: the inner segment blends the parabolas through (0,0),(100,100),(200,0), 75 at
  // 150, and (100,100),(200,0),(300,300), 0 at 150: half of each, 37.5, rounds to 38.
  const std::vector<TKeyData> wave{{0, 0}, {100, 100}, {200, 0}, {300, 300}};
  const struct {
    const char* Name;
    std::vector<TKeyData> Keys;
    int32_t Time;
    int32_t Expected;
  } cases[] = {
      {"no keys", {}, 500, 0},
      {"one key", {{40, 7}}, -1000, 7},
      {"one key, after", {{40, 7}}, 99999, 7},
      {"two keys, between", {{0, 0}, {1000, 100}}, 500, 50},
      {"two keys, before", {{0, 0}, {1000, 100}}, -10, 0},
      {"two keys, after", {{0, 0}, {1000, 100}}, 2000, 100},
      {"two keys, halves to even", {{0, 0}, {1000, 1}}, 500, 0},
      {"at a key", arch, 100, 100},
      {"first segment on the parabola", arch, 50, 75},
      {"last segment on the same parabola", arch, 150, 75},
      {"first segment straight between two corners", archFirstStraight, 50, 50},
      {"the second segment still on the parabola", archFirstStraight, 150, 75},
      {"two corners do not straighten the last segment", archLastTwoStraight, 150, 75},
      {"three corners do", archLastAllStraight, 150, 50},
      {"inner segment blended", wave, 150, 38},
      {"inner segment, start a corner: parabola ahead", {{0, 0}, {100, 100, true}, {200, 0},
                                                         {300, 300}}, 150, 0},
      {"inner segment, end a corner: parabola behind", {{0, 0}, {100, 100}, {200, 0, true},
                                                        {300, 300}}, 150, 75},
      {"inner segment between corners", {{0, 0}, {100, 100, true}, {200, 0, true}, {300, 300}},
       150, 50},
      {"a plateau's first segment", {{0, 0}, {1000, 100}, {2000, 100}, {3000, 0}}, 1250, 109},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(IntegerCurve(test.Keys).ValueAt(test.Time), test.Expected) << test.Name;
  }
  // Bounds clamp an overshooting parabola; equal bounds (the default) clamp nothing.
  EXPECT_EQ(IntegerCurve({{0, 0}, {1000, 100}, {2000, 100}, {3000, 0}}, 0, 100).ValueAt(1500), 100);
  EXPECT_EQ(IntegerCurve({{0, 0}, {100, 255}, {150, 255}, {200, 0}}, 0, 255).ValueAt(125), 255);
  // A parabola through large values leaves the 32-bit range: the range's end, not a wrap.
  EXPECT_EQ(IntegerCurve({{0, 0}, {1, 2000000000}, {2, 0}, {1000000, 0}}).ValueAt(500000),
            INT32_MIN);
  EXPECT_GT(IntegerCurve({{0, 0}, {100, 255}, {150, 255}, {200, 0}}).ValueAt(125), 255);
  TTimeToIntegerValue unclamped = IntegerCurve({{0, 0}, {100, 255}, {150, 255}, {200, 0}}, 0, 255);
  unclamped.Clamp = false;
  EXPECT_GT(unclamped.ValueAt(125), 255);
}

TEST_F(TimeCurveTest, PointsMoveStraightBetweenCornersAndCurveThroughNeighbours) {
  const TCurvePoint a{0, 0};
  const TCurvePoint b{1000, 0};
  const TCurvePoint c{1000, 1000};
  // Straight: each product rounded by itself.
  EXPECT_EQ(PointCurve({{0, a}, {100, b}}).ValueAt(25), (TCurvePoint{250, 0}));
  EXPECT_EQ(PointCurve({{0, a}, {100, b}}).ValueAt(-5), a);
  EXPECT_EQ(PointCurve({{0, a}, {100, b}}).ValueAt(500), b);
  EXPECT_EQ(PointCurve({}).ValueAt(3), (TCurvePoint{0, 0}));
  // With a neighbour the segment swings out before it turns into the next key (unclamped): the
  // control points (250, 0) and (750, -187.5) give (500, -70.3125) midway.
  TTimeToVector2DValue bending = PointCurve({{0, a}, {100, b}, {200, c}});
  bending.Clamp = false;
  EXPECT_EQ(bending.ValueAt(50), (TCurvePoint{500, -70}));
  // Both ends of the segment as corners keep it straight.
  EXPECT_EQ(PointCurve({{0, a, true}, {100, b, true}, {200, c}}).ValueAt(50),
            (TCurvePoint{500, 0}));
  // The Bézier's ends are the keys.
  const TTimeToVector2DValue path = PointCurve({{0, a}, {100, b}, {200, c}, {300, a}});
  EXPECT_EQ(path.ValueAt(100), b);
  EXPECT_EQ(path.ValueAt(200), c);
  // Bounds clamp unless cleared, as the pictures' own paths do.
  TTimeToVector2DValue outside = PointCurve({{0, {-500, 0}}, {100, {2000000, 0}}});
  EXPECT_EQ(outside.ValueAt(0), (TCurvePoint{0, 0}));
  EXPECT_EQ(outside.ValueAt(100), (TCurvePoint{1000000, 0}));
  outside.Clamp = false;
  EXPECT_EQ(outside.ValueAt(0), (TCurvePoint{-500, 0}));
  // Scaled from the square to the output, truncated.
  const TTimeToVector2DValue centre = PointCurve({{0, {500000, 333333}}});
  EXPECT_EQ(centre.ScaledValueAt(0, 1920, 1080), (TCurvePoint{960, 359}));
  EXPECT_EQ(centre.ScaledKey(0, 1920, 1080), (TCurvePoint{960, 359}));
  EXPECT_EQ(centre.ScaledKey(1, 1920, 1080), (TCurvePoint{0, 0}));
}

TEST_F(TimeCurveTest, KeysAreFoundSortedAndMeasured) {
  TTimeToIntegerValue curve = IntegerCurve({{300, 3}, {100, 1}, {200, 2}});
  EXPECT_EQ(curve.IntegerKey(0).Time, 100);
  EXPECT_EQ(curve.Duration(), 300);
  EXPECT_EQ(IntegerCurve({}).Duration(), 0);
  const struct {
    int32_t Time;
    int Index;
    TKeyPosition Position;
    int32_t Nearest;
  } cases[] = {{50, -1, TKeyPosition::BeforeFirst, -1}, {100, 0, TKeyPosition::Inside, 100},
               {150, 0, TKeyPosition::Inside, 50},      {230, 1, TKeyPosition::Inside, 70},
               {260, 1, TKeyPosition::Inside, 40},      {300, 2, TKeyPosition::Inside, 100},
               {301, -1, TKeyPosition::AfterLast, -1}};
  for (const auto& test : cases) {
    const TKeySearch found = curve.FindKey(test.Time);
    EXPECT_EQ(found.Index, test.Index) << test.Time;
    EXPECT_EQ(found.Position, test.Position) << test.Time;
    EXPECT_EQ(curve.NearestKeyDistance(test.Time), test.Nearest) << test.Time;
  }
  EXPECT_EQ(curve.KeyAt(250), &curve.Key(1));
  EXPECT_EQ(curve.KeyAt(10), nullptr);
  auto key = std::make_unique<TTimeIntegerValue>();
  key->Time = 150;
  EXPECT_EQ(curve.AddKeyIndex(std::move(key)), 1);

  // A copy has the keys and the bounds, not the clamping.
  curve.MaxValue = 255;
  TTimeToIntegerValue copy;
  copy.Clamp = false;
  copy.Assign(curve);
  EXPECT_EQ(Saved(copy), Saved(curve));
  EXPECT_EQ(copy.MaxValue, 255);
  EXPECT_FALSE(copy.Clamp);
  const std::unique_ptr<TTimeToValue> clone = curve.Clone();
  EXPECT_EQ(Saved(*clone), Saved(curve));
  EXPECT_EQ(dynamic_cast<TTimeToIntegerValue&>(*clone).MaxValue, 255);
}

TEST_F(TimeCurveTest, StoredAsCountClassNameAndKeysAndReadOnlyAsTheirOwnClass) {
  const TTimeToIntegerValue curve = IntegerCurve({{0, -2, true}, {1000, 100}});
  const std::string name = "TTimeIntegerValue";
  const std::string expected = std::string("\x02\x00\x00\x00", 4) + std::string("\x11\0\0\0", 4) +
                               name + std::string("\x00\x00\x00\x00\x01\xFE\xFF\xFF\xFF", 9) +
                               std::string("\xE8\x03\x00\x00\x00\x64\x00\x00\x00", 9);
  EXPECT_EQ(Saved(curve), expected);
  EXPECT_EQ(Saved(IntegerCurve({})), std::string(4, '\0'));
  const std::string path = Saved(PointCurve({{5, {7, 8}}}));
  EXPECT_EQ(path.substr(8, 18), "TTimeVector2DValue");

  const auto load = [](TTimeToValue& into, const std::string& stored) {
    TMemoryStream bytes(stored);
    TCSFStream stream(bytes, CSFMode::HeaderlessRead);
    return into.LoadFromStream(stream);
  };
  // Read back as written, added to what the curve holds and sorted.
  TTimeToIntegerValue read = IntegerCurve({{5000, 9}});
  ASSERT_TRUE(load(read, expected));
  ASSERT_EQ(read.KeyCount(), 3);
  EXPECT_TRUE(read.IntegerKey(0).Linear);
  EXPECT_EQ(read.IntegerKey(0).Value, -2);
  EXPECT_EQ(read.IntegerKey(1).Time, 1000);
  EXPECT_EQ(read.IntegerKey(2).Value, 9);

  // Refused: another curve's keys, an unknown class, a count the bytes cannot hold (before any
  // key is made), and bytes that end within a key (the keys read so far stay, sorted).
  TTimeToIntegerValue other;
  EXPECT_FALSE(load(other, path));
  std::string unknown = expected;
  unknown[8 + 4] = 'X';
  EXPECT_FALSE(load(other, unknown));
  std::string huge = expected;
  huge.replace(0, 4, std::string("\xFF\xFF\xFF\x7F", 4));
  EXPECT_FALSE(load(other, huge));
  EXPECT_FALSE(load(other, expected.substr(0, expected.size() - 3)));
  EXPECT_EQ(other.KeyCount(), 0);
  TTimeToVector2DValue points;
  const std::string twoPoints = Saved(PointCurve({{9, {1, 2}}, {5, {7, 8}}}));
  EXPECT_FALSE(load(points, twoPoints.substr(0, twoPoints.size() - 3)));
  ASSERT_EQ(points.KeyCount(), 1);
  EXPECT_EQ(points.PointKey(0).Point, (TCurvePoint{7, 8}));
  ASSERT_TRUE(load(points, path));
  EXPECT_EQ(points.KeyCount(), 2);
}

}  // namespace
}  // namespace nimbra
