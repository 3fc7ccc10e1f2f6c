#include "storage/ClassRegistry.h"

#include <mutex>
#include <unordered_map>

namespace nimbra {

namespace {

// Keyed by the class name with ASCII letters in lower case; the first class of a name stays.
struct Registry {
  std::mutex mutex;
  std::unordered_map<std::string, const TMetaClass*> classes;
};

std::string Key(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return key;
}

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

bool TMetaClass::InheritsFrom(const TMetaClass& other) const {
  for (const TMetaClass* c = this; c != nullptr; c = c->ClassParent()) {
    if (c == &other) return true;
  }
  return false;
}

const TMetaClass& TObject::StaticClass() {
  static const TImmortal<TClassOf<TObject>> meta("TObject", nullptr);
  return meta.Get();
}

void RegisterClass(const TMetaClass& meta) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.classes.emplace(Key(meta.ClassName()), &meta);
}

void UnregisterClass(const TMetaClass& meta) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto found = registry.classes.find(Key(meta.ClassName()));
  if (found != registry.classes.end() && found->second == &meta) registry.classes.erase(found);
}

const TMetaClass* GetClass(std::string_view name) {
  if (name.empty()) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto found = registry.classes.find(Key(name));
  return found == registry.classes.end() ? nullptr : found->second;
}

std::vector<const TMetaClass*> RegisteredClasses() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::vector<const TMetaClass*> classes;
  classes.reserve(registry.classes.size());
  for (const auto& entry : registry.classes) classes.push_back(entry.second);
  return classes;
}

}  // namespace nimbra
