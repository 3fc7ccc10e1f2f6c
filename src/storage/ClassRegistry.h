// Classes that can be created from their stored name. A stored object is written as its class name
// followed by its data; readers turn the name back into a class through the run-time class
// registry and create an instance with the class's virtual constructor.
#pragma once

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace nimbra {

class TObject;

// What the program knows of a class at run time: its name, its base and how to make one.
class TMetaClass {
 public:
  TMetaClass(std::string_view name, const TMetaClass* parent) : name_(name), parent_(parent) {}
  virtual ~TMetaClass() = default;
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  const std::string& ClassName() const { return name_; }
  const TMetaClass* ClassParent() const { return parent_; }
  // True for this class and every class derived from other.
  bool InheritsFrom(const TMetaClass& other) const;
  // The virtual constructor; none for an abstract class.
  virtual std::unique_ptr<TObject> CreateInstance() const = 0;

 private:
  std::string name_;
  const TMetaClass* parent_;
};

// The root of every class that knows its own class at run time.
class TObject {
 public:
  virtual ~TObject() = default;
  static const TMetaClass& StaticClass();
  virtual const TMetaClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().ClassName(); }
  bool InheritsFrom(const TMetaClass& other) const { return ClassType().InheritsFrom(other); }
};

template <typename T>
class TClassOf : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  std::unique_ptr<TObject> CreateInstance() const override {
    if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) {
      return nullptr;
    } else {
      return std::make_unique<T>();
    }
  }
};

// Creates an instance of meta and yields it as T, or none when the class is abstract or not a T.
template <typename T>
std::unique_ptr<T> CreateAs(const TMetaClass& meta) {
  std::unique_ptr<TObject> object = meta.CreateInstance();
  if (auto* typed = dynamic_cast<T*>(object.get())) {
    object.release();
    return std::unique_ptr<T>(typed);
  }
  return nullptr;
}

// A process-wide object that is never destroyed. Class descriptions are held this way: registries
// that refer to them may still be tearing down while the program ends.
template <typename T>
class TImmortal {
 public:
  template <typename... Args>
  explicit TImmortal(Args&&... args) {
    ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
  }
  TImmortal(const TImmortal&) = delete;
  TImmortal& operator=(const TImmortal&) = delete;
  const T& Get() const { return *std::launder(reinterpret_cast<const T*>(storage_)); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

// The process-wide map from class name (compared without regard to case) to class.
void RegisterClass(const TMetaClass& meta);
void UnregisterClass(const TMetaClass& meta);
// The class registered under the name, or none.
const TMetaClass* GetClass(std::string_view name);
// Every registered class, in no particular order.
std::vector<const TMetaClass*> RegisteredClasses();

}  // namespace nimbra

// Declares the run-time class of a class derived from TObject (inside the class body).
#define NIMBRA_DECLARE_CLASS()                                                      \
 public:                                                                            \
  static const ::nimbra::TMetaClass& StaticClass();                                 \
  const ::nimbra::TMetaClass& ClassType() const override { return StaticClass(); } \
                                                                                    \
 private:

// Defines the run-time class declared above (in one source file, inside namespace nimbra).
#define NIMBRA_DEFINE_CLASS(Type, Parent)                                     \
  const ::nimbra::TMetaClass& Type::StaticClass() {                           \
    static const ::nimbra::TImmortal<::nimbra::TClassOf<Type>> meta(#Type,      \
                                                                    &Parent::StaticClass()); \
    return meta.Get();                                                        \
  }
