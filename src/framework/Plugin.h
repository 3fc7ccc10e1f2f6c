// The root of every registered class of the system. Plug-in classes announce themselves to the
// registries at start-up and are found again by their stored class names; their class-level texts
// (caption, copyright, description, version) can be asked of the class without an instance.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "storage/ClassRegistry.h"

namespace nimbra {

class TPlugin;

// A version text and a second text (empty throughout the system).
struct TVersionInfo {
  std::string Version;
  std::string Extra;
  bool operator==(const TVersionInfo&) const = default;
};

// What is known of a plug-in class without an instance.
class TPluginClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  virtual std::string Caption() const = 0;
  virtual std::string Copyright() const = 0;
  virtual std::string Description() const = 0;
  virtual TVersionInfo VersionInfo() const = 0;
  // The virtual constructor, yielding the plug-in type; none for an abstract class.
  std::unique_ptr<TPlugin> CreatePlugin() const;
};

// The plug-in class of T: forwards the class-level texts to T's static ClassCaption,
// ClassCopyright, ClassDescription and ClassVersionInfo (a class declares those it changes).
template <typename T>
class TPluginClassOf : public TPluginClass {
 public:
  using TPluginClass::TPluginClass;
  std::string Caption() const override { return T::ClassCaption(); }
  std::string Copyright() const override { return T::ClassCopyright(); }
  std::string Description() const override { return T::ClassDescription(); }
  TVersionInfo VersionInfo() const override { return T::ClassVersionInfo(); }
  std::unique_ptr<TObject> CreateInstance() const override {
    if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) {
      return nullptr;
    } else {
      return std::make_unique<T>();
    }
  }
};

class TPlugin : public TObject {
 public:
  static const TPluginClass& StaticClass();
  const TMetaClass& ClassType() const override { return StaticClass(); }
  const TPluginClass& PluginClass() const { return static_cast<const TPluginClass&>(ClassType()); }

  // Copies another object's content; does nothing here.
  virtual void Assign(const TPlugin& source);
  std::string Caption() const { return PluginClass().Caption(); }
  std::string Copyright() const { return PluginClass().Copyright(); }
  std::string Description() const { return PluginClass().Description(); }
  TVersionInfo VersionInfo() const { return PluginClass().VersionInfo(); }

  static std::string ClassCaption() { return {}; }
  static std::string ClassCopyright() { return {}; }
  static std::string ClassDescription() { return {}; }
  static TVersionInfo ClassVersionInfo() { return {}; }
};

// Creates an instance of a plug-in class as T, or none when it is abstract or not a T.
template <typename T>
std::unique_ptr<T> CreatePluginAs(const TMetaClass& meta) {
  return CreateAs<T>(meta);
}

}  // namespace nimbra

// Declares the run-time class of a plug-in class (inside the class body, derived from TPlugin).
#define NIMBRA_DECLARE_PLUGIN()                                                     \
 public:                                                                            \
  static const ::nimbra::TPluginClass& StaticClass();                               \
  const ::nimbra::TMetaClass& ClassType() const override { return StaticClass(); } \
                                                                                    \
 private:

// Defines it (in one source file, inside namespace nimbra).
#define NIMBRA_DEFINE_PLUGIN(Type, Parent)                                              \
  const ::nimbra::TPluginClass& Type::StaticClass() {                                   \
    static const ::nimbra::TImmortal<::nimbra::TPluginClassOf<Type>> meta(              \
        #Type, &Parent::StaticClass());                                                 \
    return meta.Get();                                                                  \
  }
