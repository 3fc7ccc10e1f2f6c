#include "slideshow/TimeCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "storage/CSFStream.h"
#include "storage/NimbraError.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TTimeValue, TObject)
NIMBRA_DEFINE_CLASS(TTimeIntegerValue, TTimeValue)
NIMBRA_DEFINE_CLASS(TTimeVector2DValue, TTimeValue)

namespace {

// To the nearest integer, halves to even, within the 32-bit range (a parabola through large values
// overshoots it); a fault of the arithmetic is 0.
int32_t Rounded(double value) {
  if (!std::isfinite(value)) return 0;
  const double limited = std::clamp(std::nearbyint(value),
                                    double(std::numeric_limits<int32_t>::min()),
                                    double(std::numeric_limits<int32_t>::max()));
  return static_cast<int32_t>(limited);
}

constexpr int64_t kSmallestStoredKey = 4 + 1 + 4;

int32_t RoundedSingle(float value) { return Rounded(static_cast<double>(value)); }

struct TKnot {
  double Time;
  double Value;
};

TKnot KnotOf(const TTimeIntegerValue& key) { return {double(key.Time), double(key.Value)}; }

double Linear(const TKnot& a, const TKnot& b, double t) {
  return (t - a.Time) / (b.Time - a.Time) * (b.Value - a.Value) + a.Value;
}

// The parabola through three points in Lagrange form; a term whose differences vanish counts 0.
double Parabola(const TKnot& p0, const TKnot& p1, const TKnot& p2, double x) {
  const auto term = [](double y, double da, double db) {
    return da == 0 || db == 0 ? 0.0 : y / (da * db);
  };
  const double d0 = term(p0.Value, p0.Time - p1.Time, p0.Time - p2.Time);
  const double d1 = term(p1.Value, p1.Time - p0.Time, p1.Time - p2.Time);
  const double d2 = term(p2.Value, p2.Time - p0.Time, p2.Time - p1.Time);
  const double a = d0 + d1 + d2;
  const double b = -(d0 * (p1.Time + p2.Time) + d1 * (p0.Time + p2.Time) + d2 * (p0.Time + p1.Time));
  const double c = d0 * p1.Time * p2.Time + d1 * p0.Time * p2.Time + d2 * p0.Time * p1.Time;
  return a * x * x + b * x + c;
}

}  // namespace

void TTimeValue::Assign(const TTimeValue& source) {
  Time = source.Time;
  Linear = source.Linear;
}

void TTimeValue::SaveToStream(TCSFStream& stream) const {
  stream.WriteInteger(Time);
  stream.WriteByte(Linear ? 1 : 0);
}

void TTimeValue::LoadFromStream(TCSFStream& stream) {
  Time = stream.ReadInteger();
  uint8_t linear = 0;
  stream.ReadBuffer(&linear, 1);
  Linear = linear != 0;
}

void TTimeIntegerValue::Assign(const TTimeValue& source) {
  TTimeValue::Assign(source);
  if (const auto* other = dynamic_cast<const TTimeIntegerValue*>(&source)) Value = other->Value;
}

void TTimeIntegerValue::SaveToStream(TCSFStream& stream) const {
  TTimeValue::SaveToStream(stream);
  stream.WriteInteger(Value);
}

void TTimeIntegerValue::LoadFromStream(TCSFStream& stream) {
  TTimeValue::LoadFromStream(stream);
  Value = stream.ReadInteger();
}

void TTimeVector2DValue::Assign(const TTimeValue& source) {
  TTimeValue::Assign(source);
  if (const auto* other = dynamic_cast<const TTimeVector2DValue*>(&source)) Point = other->Point;
}

void TTimeVector2DValue::SaveToStream(TCSFStream& stream) const {
  TTimeValue::SaveToStream(stream);
  stream.WriteInteger(Point.X);
  stream.WriteInteger(Point.Y);
}

void TTimeVector2DValue::LoadFromStream(TCSFStream& stream) {
  TTimeValue::LoadFromStream(stream);
  Point.X = stream.ReadInteger();
  Point.Y = stream.ReadInteger();
}

void TTimeToValue::SaveToStream(TCSFStream& stream) const {
  stream.WriteInteger(KeyCount());
  if (keys_.empty()) return;
  stream.WriteString(keys_.front()->ClassName());
  for (const auto& key : keys_) key->SaveToStream(stream);
}

bool TTimeToValue::LoadFromStream(TCSFStream& stream) {
  try {
    const int32_t count = stream.ReadInteger();
    if (count <= 0) return true;
    // Only keys of this curve's class: another class would be read as what it is not.
    const TMetaClass* meta = GetClass(stream.ReadClassName());
    if (meta == nullptr || !meta->InheritsFrom(KeyClass())) return false;
    // A count the bytes cannot hold is refused before anything is made (a key takes at least its
    // time, its flag and one value).
    if (int64_t{count} * kSmallestStoredKey > stream.RemainingInContainer()) return false;
    const auto sortAfter = [this](bool read) {
      // Lookups take the keys as sorted; stored keys may not be.
      SortKeys();
      return read;
    };
    for (int32_t i = 0; i < count; ++i) {
      std::unique_ptr<TTimeValue> key = CreateAs<TTimeValue>(*meta);
      if (!key) return sortAfter(false);
      key->LoadFromStream(stream);
      keys_.push_back(std::move(key));
    }
    return sortAfter(true);
  } catch (const ENimbraError&) {
    SortKeys();
    return false;
  }
}

void TTimeToValue::Assign(const TTimeToValue& source) {
  if (&source == this) return;
  keys_.clear();
  for (const auto& key : source.keys_) {
    std::unique_ptr<TTimeValue> copy = CreateAs<TTimeValue>(key->ClassType());
    if (!copy) continue;
    copy->Assign(*key);
    keys_.push_back(std::move(copy));
  }
  SortKeys();
}

std::unique_ptr<TTimeToValue> TTimeToValue::Clone() const {
  std::unique_ptr<TTimeToValue> copy = Create();
  copy->Assign(*this);
  return copy;
}

void TTimeToValue::AddKey(std::unique_ptr<TTimeValue> key) {
  if (!key) return;
  keys_.push_back(std::move(key));
  SortKeys();
}

int TTimeToValue::AddKeyIndex(std::unique_ptr<TTimeValue> key) {
  const TTimeValue* added = key.get();
  AddKey(std::move(key));
  for (int i = 0; i < KeyCount(); ++i) {
    if (keys_[size_t(i)].get() == added) return i;
  }
  return -1;
}

void TTimeToValue::SortKeys() {
  std::stable_sort(keys_.begin(), keys_.end(),
                   [](const auto& a, const auto& b) { return a->Time < b->Time; });
}

TKeySearch TTimeToValue::FindKey(int32_t time) const {
  if (keys_.empty() || time < keys_.front()->Time) return {-1, TKeyPosition::BeforeFirst};
  if (time > keys_.back()->Time) return {-1, TKeyPosition::AfterLast};
  int index = -1;
  for (int i = 0; i < KeyCount() && keys_[size_t(i)]->Time <= time; ++i) index = i;
  return {index, TKeyPosition::Inside};
}

const TTimeValue* TTimeToValue::KeyAt(int32_t time) const {
  const int index = KeyIndexAt(time);
  return index < 0 ? nullptr : keys_[size_t(index)].get();
}

int32_t TTimeToValue::NearestKeyDistance(int32_t time) const {
  const int index = KeyIndexAt(time);
  if (index < 0) return -1;
  int64_t nearest = -1;
  if (index > 0) nearest = int64_t{time} - keys_[size_t(index) - 1]->Time;
  if (index + 1 < KeyCount()) {
    const int64_t forward = int64_t{keys_[size_t(index) + 1]->Time} - time;
    nearest = nearest < 0 ? forward : std::min(nearest, forward);
  }
  return static_cast<int32_t>(std::clamp<int64_t>(nearest, -1, INT32_MAX));
}

TCurvePlace TTimeToValue::PlaceOf(int32_t time) const {
  const int n = KeyCount();
  const TKeySearch found = FindKey(time);
  if (n == 0) return {};
  if (found.Position == TKeyPosition::BeforeFirst) return {0, false};
  if (found.Position == TKeyPosition::AfterLast) return {n - 1, false};
  const bool onKey = keys_[size_t(found.Index)]->Time == time || found.Index == n - 1;
  return {found.Index, !onKey};
}

int32_t TTimeToValue::Duration() const { return keys_.empty() ? 0 : keys_.back()->Time; }

void TTimeToIntegerValue::Assign(const TTimeToValue& source) {
  TTimeToValue::Assign(source);
  if (const auto* other = dynamic_cast<const TTimeToIntegerValue*>(&source)) {
    MaxValue = other->MaxValue;
    MinValue = other->MinValue;
  }
}

std::unique_ptr<TTimeToValue> TTimeToIntegerValue::Create() const {
  return std::make_unique<TTimeToIntegerValue>();
}

const TTimeIntegerValue& TTimeToIntegerValue::IntegerKey(int index) const {
  return static_cast<const TTimeIntegerValue&>(Key(index));
}

int32_t TTimeToIntegerValue::ValueAt(int32_t time) const {
  const int n = KeyCount();
  const TCurvePlace place = PlaceOf(time);
  double value = 0;
  if (!place.InSegment) {
    value = place.Key < 0 ? 0 : IntegerKey(place.Key).Value;
  } else {
    const int i = place.Key;
    const double t = time;
    const auto knot = [this](int k) { return KnotOf(IntegerKey(k)); };
    const auto linear = [this](int k) { return IntegerKey(k).Linear; };
    if (n == 2) {
      value = Linear(knot(0), knot(1), t);
    } else if (i == 0) {
      value = linear(0) && linear(1) ? Linear(knot(0), knot(1), t)
                                     : Parabola(knot(0), knot(1), knot(2), t);
    } else if (i == n - 2) {
      value = linear(n - 3) && linear(n - 2) && linear(n - 1)
                  ? Linear(knot(n - 2), knot(n - 1), t)
                  : Parabola(knot(n - 3), knot(n - 2), knot(n - 1), t);
    } else if (linear(i) && linear(i + 1)) {
      value = Linear(knot(i), knot(i + 1), t);
    } else if (linear(i)) {
      value = Parabola(knot(i), knot(i + 1), knot(i + 2), t);
    } else if (linear(i + 1)) {
      value = Parabola(knot(i - 1), knot(i), knot(i + 1), t);
    } else {
      const TKnot b = knot(i);
      const TKnot c = knot(i + 1);
      const double first = Parabola(knot(i - 1), b, c, t);
      const double second = Parabola(b, c, knot(i + 2), t);
      value = first * (c.Time - t) / (c.Time - b.Time) + second * (t - b.Time) / (c.Time - b.Time);
    }
  }
  int32_t result = Rounded(value);
  if (Clamp && MinValue != MaxValue) result = std::min(MaxValue, std::max(MinValue, result));
  return result;
}

void TTimeToVector2DValue::Assign(const TTimeToValue& source) {
  TTimeToValue::Assign(source);
  if (const auto* other = dynamic_cast<const TTimeToVector2DValue*>(&source)) {
    MaxPoint = other->MaxPoint;
    MinPoint = other->MinPoint;
  }
}

std::unique_ptr<TTimeToValue> TTimeToVector2DValue::Create() const {
  return std::make_unique<TTimeToVector2DValue>();
}

const TTimeVector2DValue& TTimeToVector2DValue::PointKey(int index) const {
  return static_cast<const TTimeVector2DValue&>(Key(index));
}

TCurvePoint TTimeToVector2DValue::ValueAt(int32_t time) const {
  const int n = KeyCount();
  const TCurvePlace place = PlaceOf(time);
  TCurvePoint point;
  if (!place.InSegment) {
    point = place.Key < 0 ? TCurvePoint{} : PointKey(place.Key).Point;
  } else {
    const int i = place.Key;
    const TTimeVector2DValue& start = PointKey(i);
    const TTimeVector2DValue& end = PointKey(i + 1);
    // The neighbours shape the segment unless the key next to them is a corner.
    const TTimeVector2DValue* previous = i > 0 && !start.Linear ? &PointKey(i - 1) : nullptr;
    const TTimeVector2DValue* next = i + 2 < n && !end.Linear ? &PointKey(i + 2) : nullptr;
    const float s = static_cast<float>(double(time) - start.Time) /
                    static_cast<float>(double(end.Time) - start.Time);
    const auto along = [&](auto coordinate) {
      const float from = static_cast<float>(coordinate(start.Point));
      const float to = static_cast<float>(coordinate(end.Point));
      if (previous == nullptr && next == nullptr) {
        return RoundedSingle(to * s) + RoundedSingle(from * (1 - s));
      }
      const float before = previous != nullptr ? float(coordinate(previous->Point)) : from;
      const float after = next != nullptr ? float(coordinate(next->Point)) : to;
      const float middle = (from + to) * 0.5f;
      const float c1 = ((from + (from - before) * 0.375f) + middle) * 0.5f;
      const float c2 = ((to + (to - after) * 0.375f) + middle) * 0.5f;
      const float r = 1 - s;
      return RoundedSingle(from * r * r * r + 3 * c1 * s * r * r + 3 * c2 * s * s * r +
                           to * s * s * s);
    };
    point = {along([](const TCurvePoint& p) { return p.X; }),
             along([](const TCurvePoint& p) { return p.Y; })};
  }
  if (Clamp && MinPoint != MaxPoint) {
    point.X = std::min(MaxPoint.X, std::max(MinPoint.X, point.X));
    point.Y = std::min(MaxPoint.Y, std::max(MinPoint.Y, point.Y));
  }
  return point;
}

TCurvePoint TTimeToVector2DValue::Scaled(TCurvePoint point, int width, int height) const {
  // A bound of 0 has no square to scale from.
  const auto scale = [](int32_t value, int32_t bound, int size) {
    if (bound == 0) return 0;
    const double scaled = std::trunc(double(value) / bound * size);
    return std::isfinite(scaled) && std::fabs(scaled) <= std::numeric_limits<int32_t>::max()
               ? static_cast<int32_t>(scaled)
               : 0;
  };
  return {scale(point.X, MaxPoint.X, width), scale(point.Y, MaxPoint.Y, height)};
}

TCurvePoint TTimeToVector2DValue::ScaledValueAt(int32_t time, int width, int height) const {
  return Scaled(ValueAt(time), width, height);
}

TCurvePoint TTimeToVector2DValue::ScaledKey(int index, int width, int height) const {
  if (index < 0 || index >= KeyCount()) return {};
  return Scaled(PointKey(index).Point, width, height);
}

void RegisterTimeValueClasses() {
  RegisterClass(TTimeIntegerValue::StaticClass());
  RegisterClass(TTimeVector2DValue::StaticClass());
}

void UnregisterTimeValueClasses() {
  UnregisterClass(TTimeVector2DValue::StaticClass());
  UnregisterClass(TTimeIntegerValue::StaticClass());
}

}  // namespace nimbra
