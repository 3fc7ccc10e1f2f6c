// Interfaces of the object model: abstract classes with a fixed 16-byte identifier, reached from an
// object with Supports (a dynamic_cast), and held through counted references (TRef).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace nimbra {

// A 16-byte interface identifier, written as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  uint8_t D4[8] = {};

  // Parses the braced text form; the text must be well formed (identifiers are constants).
  static constexpr TGUID Parse(std::string_view text);
  std::string ToString() const;
  bool operator==(const TGUID&) const = default;
};

// The basic interface every counted object implements: references add and remove a count.
class IInterface {
 public:
  virtual ~IInterface() = default;
  virtual int32_t AddRef() = 0;
  virtual int32_t Release() = 0;
};

// A counted reference to an object or one of its interfaces; none when empty.
template <typename I>
class TRef {
 public:
  TRef() = default;
  TRef(std::nullptr_t) {}
  // Takes a new reference on the object.
  TRef(I* object) : object_(object) {
    if (object_ != nullptr) object_->AddRef();
  }
  TRef(const TRef& other) : TRef(other.object_) {}
  TRef(TRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  template <typename J>
  TRef(const TRef<J>& other) : TRef(other.Get()) {}
  ~TRef() { Reset(); }
  TRef& operator=(TRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }

  void Reset() {
    if (I* object = std::exchange(object_, nullptr)) object->Release();
  }
  I* Get() const { return object_; }
  I* operator->() const { return object_; }
  I& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }
  bool operator==(const TRef& other) const { return object_ == other.object_; }
  bool operator==(std::nullptr_t) const { return object_ == nullptr; }

 private:
  I* object_ = nullptr;
};

// The interface I of an object, or none when the object does not implement it.
template <typename I, typename T>
I* Supports(T* object) {
  return dynamic_cast<I*>(object);
}

template <typename I, typename T>
TRef<I> SupportsRef(const TRef<T>& object) {
  return TRef<I>(dynamic_cast<I*>(object.Get()));
}

// ---- TGUID parsing ----

namespace detail {

constexpr uint32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  throw "not a hexadecimal digit";
}

constexpr uint32_t HexValue(std::string_view text, size_t at, size_t digits) {
  uint32_t value = 0;
  for (size_t i = 0; i < digits; ++i) value = (value << 4) | HexDigit(text[at + i]);
  return value;
}

}  // namespace detail

constexpr TGUID TGUID::Parse(std::string_view text) {
  if (text.size() != 38 || text[0] != '{' || text[37] != '}') throw "not an interface identifier";
  TGUID guid;
  guid.D1 = detail::HexValue(text, 1, 8);
  guid.D2 = static_cast<uint16_t>(detail::HexValue(text, 10, 4));
  guid.D3 = static_cast<uint16_t>(detail::HexValue(text, 15, 4));
  guid.D4[0] = static_cast<uint8_t>(detail::HexValue(text, 20, 2));
  guid.D4[1] = static_cast<uint8_t>(detail::HexValue(text, 22, 2));
  for (size_t i = 0; i < 6; ++i) {
    guid.D4[2 + i] = static_cast<uint8_t>(detail::HexValue(text, 25 + 2 * i, 2));
  }
  return guid;
}

}  // namespace nimbra
