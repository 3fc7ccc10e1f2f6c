// The registries of plug-in classes. Every kind of object a document can hold announces its class
// at start-up; readers find classes by stored name, choosers by base class, lists by caption.
// Two registries exist: the main one (slideshow objects, events, transitions, structure events,
// slideshow variables) and the template one (page elements, picture effects, template variables).
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/Plugin.h"

namespace nimbra {

// One registered class, with a sample instance made when first asked for.
class TPluginListItem {
 public:
  TPluginListItem(const TPluginClass& pluginClass, bool streaming);
  // An entry registered for streaming takes its class out of the run-time class registry.
  ~TPluginListItem();
  TPluginListItem(const TPluginListItem&) = delete;
  TPluginListItem& operator=(const TPluginListItem&) = delete;

  const TPluginClass& PluginClass() const { return *class_; }
  bool Streaming() const { return streaming_; }
  // The sample instance, made through the class's virtual constructor on the first call and kept
  // with the entry; none for an abstract class.
  TPlugin* Instance();

 private:
  bool streaming_;
  std::unique_ptr<TPlugin> instance_;
  const TPluginClass* class_;
};

class TPlugins {
 public:
  // Orders two entries: negative, 0 or positive.
  using TCompare = std::function<int(const TPluginListItem&, const TPluginListItem&)>;

  TPlugins();
  ~TPlugins();
  TPlugins(const TPlugins&) = delete;
  TPlugins& operator=(const TPlugins&) = delete;

  // The first class, in registration order, with this name (ASCII letters in any case).
  const TPluginClass* FindClass(std::string_view className) const;
  TPluginListItem* FindItem(std::string_view className) const;
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises std::out_of_range outside 0 .. Count - 1.
  TPluginListItem& Items(int index) const;
  // A registry sharing the entries whose class is baseClass or derives from it; none when there is
  // no such entry. The entries stay with this registry.
  std::unique_ptr<TPlugins> Category(const TMetaClass& baseClass) const;
  bool IsRegistered(const TMetaClass& pluginClass) const;
  // A class registered twice (by name) keeps its first entry.
  void Register(const TPluginClass& pluginClass);
  // Registers the class and enters it into the run-time class registry, so stored objects of it
  // can be read.
  void RegisterForStreaming(const TPluginClass& pluginClass);
  // Removes every entry of exactly this class.
  void Unregister(const TMetaClass& pluginClass);
  // By caption, without regard to the case of ASCII letters; other characters by their codes.
  void SortByCaption();
  void Sort(const TCompare& compare);

 private:
  void Append(const TPluginClass& pluginClass, bool streaming);

  // The order; a category's entries belong to the registry it was taken from.
  std::vector<TPluginListItem*> items_;
  std::vector<std::unique_ptr<TPluginListItem>> owned_;
};

// Orders two texts without regard to the case of ASCII letters: negative, 0 or positive.
int CompareTextAscii(std::string_view a, std::string_view b);

// The main registry, or none outside framework start-up and shutdown.
TPlugins* MainPlugins();
// Installs a main registry and yields the one it replaces.
std::unique_ptr<TPlugins> SetMainPlugins(std::unique_ptr<TPlugins> plugins);
// The template registry, installed and freed by the page-template unit.
TPlugins* TemplatePlugins();
std::unique_ptr<TPlugins> SetTemplatePlugins(std::unique_ptr<TPlugins> plugins);

// A new object of the class stored under this name: looked up in the main registry, then in the
// run-time class registry; none when neither knows the name (the reader skips the object).
std::unique_ptr<TObject> CreateByClassName(std::string_view className);

}  // namespace nimbra
