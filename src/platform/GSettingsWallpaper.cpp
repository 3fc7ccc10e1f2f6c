#include "platform/GSettingsWallpaper.h"

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <cstring>
#include <memory>

#include "platform/FileUri.h"

namespace nimbra {

namespace {

struct TObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
struct TSchemaUnref {
  void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct TSchemaKeyUnref {
  void operator()(GSettingsSchemaKey* key) const { g_settings_schema_key_unref(key); }
};
using TSettingsRef = std::unique_ptr<GSettings, TObjectUnref>;
using TSchemaRef = std::unique_ptr<GSettingsSchema, TSchemaUnref>;
using TSchemaKeyRef = std::unique_ptr<GSettingsSchemaKey, TSchemaKeyUnref>;

// With no dconf the settings would live in this process's memory only: reported, not ignored.
void CheckBackendKeepsSettings() {
  GSettingsBackend* backend = g_settings_backend_get_default();
  const char* type = G_OBJECT_TYPE_NAME(backend);
  const bool volatileBackend = std::strcmp(type, "GMemorySettingsBackend") == 0 ||
                               std::strcmp(type, "GNullSettingsBackend") == 0;
  g_object_unref(backend);
  if (volatileBackend) {
    throw EWallpaperError("GSettings has no storage here (" + std::string(type) +
                          "); is dconf installed?");
  }
}

TSchemaRef LookupSchema(const std::string& id) {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return nullptr;
  return TSchemaRef(g_settings_schema_source_lookup(source, id.c_str(), TRUE));
}

// Opens the key's settings after checking that the key exists with the expected type, because
// GIO aborts the process on an unknown schema and ignores a wrongly typed write.
TSettingsRef OpenKey(const TGSettingsKey& key, const GVariantType* type) {
  const TSchemaRef schema = LookupSchema(key.Schema);
  if (!schema) throw EWallpaperError("the GSettings schema " + key.Schema + " is not installed");
  if (!g_settings_schema_has_key(schema.get(), key.Key.c_str())) {
    throw EWallpaperError("the GSettings schema " + key.Schema + " has no key " + key.Key);
  }
  const TSchemaKeyRef schemaKey(g_settings_schema_get_key(schema.get(), key.Key.c_str()));
  if (!g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey.get()), type)) {
    throw EWallpaperError("the GSettings key " + key.Schema + " " + key.Key +
                          " has an unexpected type");
  }
  TSettingsRef settings(g_settings_new_full(schema.get(), nullptr, nullptr));
  if (!g_settings_is_writable(settings.get(), key.Key.c_str())) {
    throw EWallpaperError("the GSettings key " + key.Schema + " " + key.Key + " is locked");
  }
  return settings;
}

bool Installed(const TGSettingsKey& key) {
  const TSchemaRef schema = LookupSchema(key.Schema);
  return schema && g_settings_schema_has_key(schema.get(), key.Key.c_str());
}

void SetString(const TGSettingsKey& key, const std::string& value) {
  if (key.Optional && !Installed(key)) return;
  const TSettingsRef settings = OpenKey(key, G_VARIANT_TYPE_STRING);
  if (!g_settings_set_string(settings.get(), key.Key.c_str(), value.c_str())) {
    throw EWallpaperError("the GSettings key " + key.Schema + " " + key.Key + " was not written");
  }
}

void SwitchOff(const TGSettingsKey& key) {
  if (key.Optional && !Installed(key)) return;
  const TSettingsRef settings = OpenKey(key, G_VARIANT_TYPE_BOOLEAN);
  if (!g_settings_set_boolean(settings.get(), key.Key.c_str(), FALSE)) {
    throw EWallpaperError("the GSettings key " + key.Schema + " " + key.Key + " was not written");
  }
}

}  // namespace

TGSettingsRecipe GnomeRecipe() {
  return {.Name = "gnome",
          .SwitchOff = {},
          .UriKeys = {{"org.gnome.desktop.background", "picture-uri"},
                      {"org.gnome.desktop.background", "picture-uri-dark", true}},
          .PathKeys = {}};
}

TGSettingsRecipe CinnamonRecipe() {
  return {.Name = "cinnamon",
          .SwitchOff = {{"org.cinnamon.desktop.background.slideshow", "slideshow-enabled", true}},
          .UriKeys = {{"org.cinnamon.desktop.background", "picture-uri"}},
          .PathKeys = {}};
}

TGSettingsRecipe MateRecipe() {
  return {.Name = "mate",
          .SwitchOff = {},
          .UriKeys = {},
          .PathKeys = {{"org.mate.background", "picture-filename"}}};
}

TGSettingsWallpaperBackend::TGSettingsWallpaperBackend(TGSettingsRecipe recipe)
    : recipe_(std::move(recipe)) {}

void TGSettingsWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  CheckBackendKeepsSettings();
  for (const TGSettingsKey& key : recipe_.SwitchOff) SwitchOff(key);
  const std::string uri = FileUri(picture.BitmapFile);
  for (const TGSettingsKey& key : recipe_.UriKeys) SetString(key, uri);
  for (const TGSettingsKey& key : recipe_.PathKeys) SetString(key, picture.BitmapFile);
  g_settings_sync();
}

}  // namespace nimbra
