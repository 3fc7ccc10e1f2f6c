#include "framework/Plugins.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "storage/TextCase.h"

namespace nimbra {

namespace {

unsigned char AsciiUpper(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

std::unique_ptr<TPlugins>& MainHolder() {
  static std::unique_ptr<TPlugins> plugins;
  return plugins;
}

std::unique_ptr<TPlugins>& TemplateHolder() {
  static std::unique_ptr<TPlugins> plugins;
  return plugins;
}

}  // namespace

int CompareTextAscii(std::string_view a, std::string_view b) {
  // Bytes compare like code points in UTF-8, so letters beyond ASCII order by their codes.
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = AsciiUpper(a[i]);
    const unsigned char y = AsciiUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// ---- TPluginListItem ----

TPluginListItem::TPluginListItem(const TPluginClass& pluginClass, bool streaming)
    : streaming_(streaming), class_(&pluginClass) {}

TPluginListItem::~TPluginListItem() {
  if (streaming_) UnregisterClass(*class_);
}

TPlugin* TPluginListItem::Instance() {
  if (!instance_) instance_ = class_->CreatePlugin();
  return instance_.get();
}

// ---- TPlugins ----

TPlugins::TPlugins() = default;

TPlugins::~TPlugins() = default;

TPluginListItem* TPlugins::FindItem(std::string_view className) const {
  for (TPluginListItem* item : items_) {
    if (SameTextAscii(item->PluginClass().ClassName(), className)) return item;
  }
  return nullptr;
}

const TPluginClass* TPlugins::FindClass(std::string_view className) const {
  const TPluginListItem* item = FindItem(className);
  return item != nullptr ? &item->PluginClass() : nullptr;
}

TPluginListItem& TPlugins::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<size_t>(index)];
}

std::unique_ptr<TPlugins> TPlugins::Category(const TMetaClass& baseClass) const {
  auto category = std::make_unique<TPlugins>();
  for (TPluginListItem* item : items_) {
    if (item->PluginClass().InheritsFrom(baseClass)) category->items_.push_back(item);
  }
  if (category->items_.empty()) return nullptr;
  return category;
}

bool TPlugins::IsRegistered(const TMetaClass& pluginClass) const {
  return FindItem(pluginClass.ClassName()) != nullptr;
}

void TPlugins::Append(const TPluginClass& pluginClass, bool streaming) {
  owned_.push_back(std::make_unique<TPluginListItem>(pluginClass, streaming));
  items_.push_back(owned_.back().get());
}

void TPlugins::Register(const TPluginClass& pluginClass) {
  if (!IsRegistered(pluginClass)) Append(pluginClass, false);
}

void TPlugins::RegisterForStreaming(const TPluginClass& pluginClass) {
  if (IsRegistered(pluginClass)) return;
  Append(pluginClass, true);
  RegisterClass(pluginClass);
}

void TPlugins::Unregister(const TMetaClass& pluginClass) {
  for (size_t i = items_.size(); i-- > 0;) {
    TPluginListItem* item = items_[i];
    if (&item->PluginClass() != &pluginClass) continue;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    // Freeing the entry (a registry's own) also takes a streaming class out of the class registry.
    std::erase_if(owned_, [item](const auto& entry) { return entry.get() == item; });
  }
}

void TPlugins::SortByCaption() {
  Sort([](const TPluginListItem& a, const TPluginListItem& b) {
    return CompareTextAscii(a.PluginClass().Caption(), b.PluginClass().Caption());
  });
}

void TPlugins::Sort(const TCompare& compare) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&compare](const TPluginListItem* a, const TPluginListItem* b) {
                     return compare(*a, *b) < 0;
                   });
}

// ---- the registries ----

TPlugins* MainPlugins() { return MainHolder().get(); }

std::unique_ptr<TPlugins> SetMainPlugins(std::unique_ptr<TPlugins> plugins) {
  return std::exchange(MainHolder(), std::move(plugins));
}

TPlugins* TemplatePlugins() { return TemplateHolder().get(); }

std::unique_ptr<TPlugins> SetTemplatePlugins(std::unique_ptr<TPlugins> plugins) {
  return std::exchange(TemplateHolder(), std::move(plugins));
}

std::unique_ptr<TObject> CreateByClassName(std::string_view className) {
  // 1. the main registry, 2. the run-time class registry
  const TMetaClass* found = nullptr;
  if (const TPlugins* plugins = MainPlugins()) found = plugins->FindClass(className);
  if (found == nullptr) found = GetClass(className);
  // 3. an instance through the virtual constructor, or none
  return found != nullptr ? found->CreateInstance() : nullptr;
}

}  // namespace nimbra
