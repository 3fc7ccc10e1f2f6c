// Time curves: key values fixed at times in milliseconds, from which a value for any moment is
// interpolated. Pictures and texts move, turn, zoom and fade along them, sounds follow a volume
// curve; the owner evaluates a curve at the time since it started playing. A curve is stored inside
// its owner's chunk: the number of keys, the key class's name, then each key's time, corner flag and
// value.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "storage/ClassRegistry.h"

namespace nimbra {

class TCSFStream;

// A key: its time (-1 until set) and whether it is a corner, which the segments it bounds are not
// smoothed through.
class TTimeValue : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  int32_t Time = -1;
  bool Linear = false;

  virtual void Assign(const TTimeValue& source);
  virtual void SaveToStream(TCSFStream& stream) const;
  // Raises the stream's error when the bytes end early.
  virtual void LoadFromStream(TCSFStream& stream);
};

class TTimeIntegerValue : public TTimeValue {
  NIMBRA_DECLARE_CLASS()

 public:
  int32_t Value = 0;

  void Assign(const TTimeValue& source) override;
  void SaveToStream(TCSFStream& stream) const override;
  void LoadFromStream(TCSFStream& stream) override;
};

// A point in the curve's square of 0 … 1000000 in each coordinate.
struct TCurvePoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TCurvePoint&) const = default;
};

class TTimeVector2DValue : public TTimeValue {
  NIMBRA_DECLARE_CLASS()

 public:
  TCurvePoint Point;

  void Assign(const TTimeValue& source) override;
  void SaveToStream(TCSFStream& stream) const override;
  void LoadFromStream(TCSFStream& stream) override;
};

// Where a time lies against a curve's keys.
enum class TKeyPosition { Inside = 0, BeforeFirst = 1, AfterLast = 2 };

struct TKeySearch {
  int Index = -1;  // the last key at or before the time; -1 outside the keys
  TKeyPosition Position = TKeyPosition::BeforeFirst;
};

// Where a time falls on a curve: on a key, whose value is the curve's there (before the first key
// the first, after the last the last; none without keys), or inside the segment after a key.
struct TCurvePlace {
  int Key = -1;
  bool InSegment = false;
};

class TTimeToValue {
 public:
  TTimeToValue() = default;
  virtual ~TTimeToValue() = default;
  // Copies go through Assign and Clone, which make keys of their own classes.
  TTimeToValue(const TTimeToValue&) = delete;
  TTimeToValue& operator=(const TTimeToValue&) = delete;
  TTimeToValue(TTimeToValue&&) = default;
  TTimeToValue& operator=(TTimeToValue&&) = default;

  // Keeps values within the bounds (where the bounds are not all equal).
  bool Clamp = true;

  int KeyCount() const { return static_cast<int>(keys_.size()); }
  const TTimeValue& Key(int index) const { return *keys_.at(static_cast<size_t>(index)); }
  TTimeValue& Key(int index) { return *keys_.at(static_cast<size_t>(index)); }
  // The class of the keys this curve holds.
  virtual const TMetaClass& KeyClass() const = 0;

  void SaveToStream(TCSFStream& stream) const;
  // Appends the stored keys (without emptying the curve first) and sorts. False for a key class
  // this curve cannot hold, a count the bytes cannot hold, or bytes that end early; the keys read
  // so far stay.
  bool LoadFromStream(TCSFStream& stream);
  // The other curve's keys copied, sorted; Clamp stays as it is.
  virtual void Assign(const TTimeToValue& source);
  std::unique_ptr<TTimeToValue> Clone() const;

  // Takes the key (of KeyClass()) and sorts the keys; AddKeyIndex yields its index then.
  void AddKey(std::unique_ptr<TTimeValue> key);
  int AddKeyIndex(std::unique_ptr<TTimeValue> key);
  void SortKeys();
  TKeySearch FindKey(int32_t time) const;
  int KeyIndexAt(int32_t time) const { return FindKey(time).Index; }
  const TTimeValue* KeyAt(int32_t time) const;
  // The distance from the time to the nearer of the keys around the key at it; -1 when there is
  // none.
  int32_t NearestKeyDistance(int32_t time) const;
  // The last key's time; 0 without keys.
  int32_t Duration() const;
  TCurvePlace PlaceOf(int32_t time) const;

 protected:
  virtual std::unique_ptr<TTimeToValue> Create() const = 0;

 private:
  std::vector<std::unique_ptr<TTimeValue>> keys_;
};

class TTimeToIntegerValue : public TTimeToValue {
 public:
  int32_t MaxValue = 0;
  int32_t MinValue = 0;

  const TMetaClass& KeyClass() const override { return TTimeIntegerValue::StaticClass(); }
  void Assign(const TTimeToValue& source) override;
  const TTimeIntegerValue& IntegerKey(int index) const;
  // Interpolated: straight, along a parabola through three keys, or two parabolas blended.
  int32_t ValueAt(int32_t time) const;

 protected:
  std::unique_ptr<TTimeToValue> Create() const override;
};

class TTimeToVector2DValue : public TTimeToValue {
 public:
  static constexpr int32_t kSquare = 1000000;
  TCurvePoint MaxPoint{kSquare, kSquare};
  TCurvePoint MinPoint;

  const TMetaClass& KeyClass() const override { return TTimeVector2DValue::StaticClass(); }
  void Assign(const TTimeToValue& source) override;
  const TTimeVector2DValue& PointKey(int index) const;
  // Interpolated: straight, or along a cubic Bézier curve shaped by the neighbouring keys.
  TCurvePoint ValueAt(int32_t time) const;
  // ValueAt scaled from the bounds' square to an output of the size.
  TCurvePoint ScaledValueAt(int32_t time, int width, int height) const;
  // The key's point scaled likewise; (0, 0) for an index outside the keys.
  TCurvePoint ScaledKey(int index, int width, int height) const;

 protected:
  std::unique_ptr<TTimeToValue> Create() const override;

 private:
  TCurvePoint Scaled(TCurvePoint point, int width, int height) const;
};

// The key classes in the run-time class registry, so that stored names find them.
void RegisterTimeValueClasses();
void UnregisterTimeValueClasses();

}  // namespace nimbra
