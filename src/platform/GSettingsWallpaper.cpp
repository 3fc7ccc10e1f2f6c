#include "platform/GSettingsWallpaper.h"

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

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
struct TVariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using TSettingsRef = std::unique_ptr<GSettings, TObjectUnref>;
using TVariantRef = std::unique_ptr<GVariant, TVariantUnref>;
using TSchemaRef = std::unique_ptr<GSettingsSchema, TSchemaUnref>;
using TSchemaKeyRef = std::unique_ptr<GSettingsSchemaKey, TSchemaKeyUnref>;

// Whether the bus has dconf's service running or can start it.
bool DConfOnBus(GDBusConnection* bus) {
  constexpr const char* kDConf = "ca.desrt.dconf";
  const auto ask = [bus](const char* method, GVariant* parameters) {
    return TVariantRef(g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
        parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr));
  };
  gboolean owned = FALSE;
  if (const TVariantRef reply = ask("NameHasOwner", g_variant_new("(s)", kDConf))) {
    g_variant_get(reply.get(), "(b)", &owned);
  }
  if (owned != FALSE) return true;
  bool found = false;
  if (const TVariantRef reply = ask("ListActivatableNames", nullptr)) {
    GVariantIter* names = nullptr;
    const gchar* name = nullptr;
    g_variant_get(reply.get(), "(as)", &names);
    while (!found && g_variant_iter_next(names, "&s", &name)) found = std::strcmp(name, kDConf) == 0;
    g_variant_iter_free(names);
  }
  return found;
}

std::string KeyName(const TGSettingsKey& key) { return key.Schema + " " + key.Key; }

// Writes through dconf fail quietly: dconf only warns, and its pending value is dropped at the
// sync. So before writing we make sure the settings can reach a store: a backend that keeps them
// in this process's memory (no dconf installed) is a failure, and so is dconf without a session
// bus or without its service on that bus (no desktop session runs).
void CheckBackendKeepsSettings() {
  GSettingsBackend* backend = g_settings_backend_get_default();
  const std::string type = G_OBJECT_TYPE_NAME(backend);
  g_object_unref(backend);
  if (type == "GMemorySettingsBackend" || type == "GNullSettingsBackend") {
    throw EWallpaperError("GSettings kann hier nichts dauerhaft speichern (" + type +
                          "), dconf fehlt (Paket dconf-gsettings-backend)");
  }
  if (type != "DConfSettingsBackend") return;
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (bus == nullptr) {
    const std::string why = error != nullptr ? error->message : "";
    g_clear_error(&error);
    throw EWallpaperError("es läuft kein D-Bus-Sitzungsbus, über den dconf speichern könnte (" +
                          why + ")");
  }
  const bool reachable = DConfOnBus(bus);
  g_object_unref(bus);
  if (!reachable) {
    throw EWallpaperError(
        "auf dem D-Bus-Sitzungsbus ist kein dconf-Dienst (ca.desrt.dconf) erreichbar; läuft "
        "hier keine Desktop-Sitzung?");
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
  if (!schema) throw EWallpaperError("das GSettings-Schema " + key.Schema + " ist nicht installiert");
  if (!g_settings_schema_has_key(schema.get(), key.Key.c_str())) {
    throw EWallpaperError("das GSettings-Schema " + key.Schema + " hat keinen Schlüssel " + key.Key);
  }
  const TSchemaKeyRef schemaKey(g_settings_schema_get_key(schema.get(), key.Key.c_str()));
  if (!g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey.get()), type)) {
    throw EWallpaperError("der GSettings-Schlüssel " + KeyName(key) + " hat einen anderen Typ");
  }
  TSettingsRef settings(g_settings_new_full(schema.get(), nullptr, nullptr));
  if (!g_settings_is_writable(settings.get(), key.Key.c_str())) {
    throw EWallpaperError("der GSettings-Schlüssel " + KeyName(key) + " ist gesperrt");
  }
  return settings;
}

bool Installed(const TGSettingsKey& key) {
  const TSchemaRef schema = LookupSchema(key.Schema);
  return schema && g_settings_schema_has_key(schema.get(), key.Key.c_str());
}

// One key to write and, after the sync, to read back.
struct TKeyWrite {
  TGSettingsKey Key;
  TSettingsRef Settings;
  TVariantRef Value;
};

void Write(const TKeyWrite& write) {
  if (!g_settings_set_value(write.Settings.get(), write.Key.Key.c_str(), write.Value.get())) {
    throw EWallpaperError("der GSettings-Schlüssel " + KeyName(write.Key) +
                          " wurde nicht geschrieben");
  }
}

// The value the store holds now; a write the store refused has been dropped by the sync.
void CheckReadBack(const TKeyWrite& write) {
  const TVariantRef stored(g_settings_get_value(write.Settings.get(), write.Key.Key.c_str()));
  const bool same = g_variant_equal(stored.get(), write.Value.get()) != FALSE;
  gchar* text = g_variant_print(stored.get(), FALSE);
  const std::string shown = text;
  g_free(text);
  if (!same) {
    throw EWallpaperError("der GSettings-Schlüssel " + KeyName(write.Key) +
                          " wurde nicht übernommen, er lautet weiterhin " + shown);
  }
}

}  // namespace

TGSettingsRecipe GnomeRecipe() {
  return {.Name = "gnome",
          .Title = "GNOME",
          .SwitchOff = {},
          .UriKeys = {{"org.gnome.desktop.background", "picture-uri"},
                      {"org.gnome.desktop.background", "picture-uri-dark", true}},
          .PathKeys = {},
          .SpanKeys = {{"org.gnome.desktop.background", "picture-options"}}};
}

TGSettingsRecipe CinnamonRecipe() {
  return {.Name = "cinnamon",
          .Title = "Cinnamon",
          .SwitchOff = {{"org.cinnamon.desktop.background.slideshow", "slideshow-enabled", true}},
          .UriKeys = {{"org.cinnamon.desktop.background", "picture-uri"}},
          .PathKeys = {},
          .SpanKeys = {{"org.cinnamon.desktop.background", "picture-options"}}};
}

TGSettingsRecipe MateRecipe() {
  return {.Name = "mate",
          .Title = "MATE",
          .SwitchOff = {},
          .UriKeys = {},
          .PathKeys = {{"org.mate.background", "picture-filename"}},
          .SpanKeys = {{"org.mate.background", "picture-options"}}};
}

TGSettingsWallpaperBackend::TGSettingsWallpaperBackend(TGSettingsRecipe recipe)
    : recipe_(std::move(recipe)) {}

void TGSettingsWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  CheckBackendKeepsSettings();
  // Every key is checked before the first is written, so a refusal leaves the desktop unchanged.
  std::vector<TKeyWrite> writes;
  const auto plan = [&](const std::vector<TGSettingsKey>& keys, const GVariantType* type,
                        const auto& value) {
    for (const TGSettingsKey& key : keys) {
      if (key.Optional && !Installed(key)) continue;
      writes.push_back({key, OpenKey(key, type), TVariantRef(g_variant_ref_sink(value()))});
    }
  };
  const std::string uri = FileUri(picture.BitmapFile);
  // 1. the desktop's own slideshow off, 2. the picture
  plan(recipe_.SwitchOff, G_VARIANT_TYPE_BOOLEAN, [] { return g_variant_new_boolean(FALSE); });
  plan(recipe_.UriKeys, G_VARIANT_TYPE_STRING, [&] { return g_variant_new_string(uri.c_str()); });
  plan(recipe_.PathKeys, G_VARIANT_TYPE_STRING,
       [&] { return g_variant_new_string(picture.BitmapFile.c_str()); });
  // 3. a picture of several screens spans them, instead of being fitted into each
  if (picture.Screens.size() > 1) {
    plan(recipe_.SpanKeys, G_VARIANT_TYPE_STRING, [] { return g_variant_new_string("spanned"); });
  }
  for (const TKeyWrite& write : writes) Write(write);
  g_settings_sync();
  for (const TKeyWrite& write : writes) CheckReadBack(write);
}

}  // namespace nimbra
