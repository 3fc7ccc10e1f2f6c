// Variables in texts: a key between two percent signs (%seitennr%) is replaced by a value computed
// from an object. Keys come from variable plug-ins, classes registered in a plug-in registry; their
// operations belong to the class, so a substitution asks the registered classes and never makes an
// instance of one.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Plugin.h"

namespace nimbra {

class TPlugins;

// The class-level operations of a variable plug-in.
class TVariablePluginClass : public TPluginClass {
 public:
  using TPluginClass::TPluginClass;

  // The value of the key for the object (which may be none).
  virtual std::string GetValue(TObject* object, const std::string& key) const = 0;
  // True when the key is one of the lines of KeyList(none) once that list is lower-cased; the key
  // itself is compared as given, so only a lower-case key can match.
  virtual bool HasKey(const std::string& key) const;
  // The keys, one per line, lines separated by CR LF.
  virtual std::string KeyList(TObject* object) const = 0;
  // The class of objects the plug-in applies to; none for every object.
  virtual const TMetaClass* ContextClass() const = 0;
  // Without an object: true exactly when there is no context class.
  virtual bool Accepts(TObject* object) const;
  // The value when the object is accepted; otherwise an empty value and false.
  virtual bool Evaluate(TObject* object, const std::string& key, std::string& value) const;
};

// The variable class of T: forwards to T's static ClassGetValue, ClassKeyList and
// ClassContextClass, and to the texts TPluginClassOf forwards.
template <typename T>
class TVariablePluginClassOf : public TVariablePluginClass {
 public:
  using TVariablePluginClass::TVariablePluginClass;
  std::string Caption() const override { return T::ClassCaption(); }
  std::string Copyright() const override { return T::ClassCopyright(); }
  std::string Description() const override { return T::ClassDescription(); }
  TVersionInfo VersionInfo() const override { return T::ClassVersionInfo(); }
  std::unique_ptr<TObject> CreateInstance() const override { return std::make_unique<T>(); }
  std::string GetValue(TObject* object, const std::string& key) const override {
    return T::ClassGetValue(object, key);
  }
  std::string KeyList(TObject* object) const override { return T::ClassKeyList(object); }
  const TMetaClass* ContextClass() const override { return T::ClassContextClass(); }
};

// The base of every variable plug-in. A plug-in class declares the statics it changes.
class TVariablePlugin : public TPlugin {
 public:
  static const TVariablePluginClass& StaticClass();
  const TMetaClass& ClassType() const override { return StaticClass(); }
  const TVariablePluginClass& VariableClass() const {
    return static_cast<const TVariablePluginClass&>(ClassType());
  }

  static std::string ClassGetValue(TObject* object, const std::string& key);
  static std::string ClassKeyList(TObject* object);
  static const TMetaClass* ClassContextClass() { return nullptr; }
};

// Expands the variables of text for the object with the variable plug-ins of one registry, in
// registration order. "%%" stands for a literal percent sign; keys match without regard to case;
// a key no plug-in knows, or whose plug-in does not accept the object, stays as written. The text
// comes back unchanged without a registry.
std::string SubstituteVariables(const TPlugins* registry, TObject* object, std::string_view text);
// One round of an expansion: a registry and the object its plug-ins are asked about.
struct TVariableRound {
  const TPlugins* Registry = nullptr;
  TObject* Object = nullptr;
};
// Expands in several rounds as though in one: a doubled percent sign and the percent signs of an
// inserted value stay text through the later rounds too, and become percent signs once, at the
// end. Rounds without a registry are passed over.
std::string SubstituteVariables(const std::vector<TVariableRound>& rounds, std::string_view text);
// The same with a registry made for this call (a Category), freed before returning.
std::string SubstituteVariables(std::unique_ptr<TPlugins> registry, TObject* object,
                                std::string_view text);

// Replaces every occurrence of token in text by value, left to right and without overlap,
// comparing letters without regard to case; the inserted values are not searched again.
std::string ReplaceTextIgnoringCase(std::string_view text, std::string_view token,
                                    std::string_view value);
// Whether text contains token, compared the same way.
bool ContainsTextIgnoringCase(std::string_view text, std::string_view token);

}  // namespace nimbra

// Declares the run-time class of a variable plug-in (inside the class body).
#define NIMBRA_DECLARE_VARIABLE_PLUGIN()                                            \
 public:                                                                            \
  static const ::nimbra::TVariablePluginClass& StaticClass();                       \
  const ::nimbra::TMetaClass& ClassType() const override { return StaticClass(); } \
                                                                                    \
 private:

// Defines it (in one source file, inside namespace nimbra).
#define NIMBRA_DEFINE_VARIABLE_PLUGIN(Type, Parent)                              \
  const ::nimbra::TVariablePluginClass& Type::StaticClass() {                    \
    static const ::nimbra::TImmortal<::nimbra::TVariablePluginClassOf<Type>> meta( \
        #Type, &Parent::StaticClass());                                          \
    return meta.Get();                                                           \
  }
