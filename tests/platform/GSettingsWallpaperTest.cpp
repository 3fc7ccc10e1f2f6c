#include <gio/gio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "PlatformTestSession.h"
#include "TempFolder.h"
#include "platform/FileUri.h"
#include "platform/GSettingsWallpaper.h"

namespace nimbra {
namespace {

using test::TempFolder;

// The settings of the test program live in the keyfile backend under our own XDG_CONFIG_HOME
// (set up by the test session before GIO starts).
class GSettingsWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::ScratchFolder().empty());
    ASSERT_STREQ(g_getenv("GSETTINGS_BACKEND"), "keyfile");
    // An awkward but legal name: the URI must carry it exactly.
    folder_ = std::make_unique<TempFolder>();
    picture_.BitmapFile = folder_->Write("Velmora Nimbra 'Hintergrund' #1 ä%.bmp", "BM");
  }

  static bool SchemaInstalled(const char* schema) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* found =
        source != nullptr ? g_settings_schema_source_lookup(source, schema, TRUE) : nullptr;
    if (found != nullptr) g_settings_schema_unref(found);
    return found != nullptr;
  }

  static std::string ReadString(const char* schema, const char* key) {
    GSettings* settings = g_settings_new(schema);
    gchar* value = g_settings_get_string(settings, key);
    std::string result = value;
    g_free(value);
    g_object_unref(settings);
    return result;
  }

  // The value as it was stored on the disk by the keyfile backend, read without GSettings. The
  // backend's group is the schema's path without its outer slashes.
  static std::string StoredString(const std::string& schema, const char* key) {
    GSettingsSchema* found = g_settings_schema_source_lookup(g_settings_schema_source_get_default(),
                                                             schema.c_str(), TRUE);
    if (found == nullptr) return "(no schema)";
    std::string group = g_settings_schema_get_path(found);
    g_settings_schema_unref(found);
    group = group.substr(1, group.size() - 2);
    const std::string file = test::ConfigFolder() + "/glib-2.0/settings/keyfile";
    GKeyFile* keyFile = g_key_file_new();
    std::string result;
    if (g_key_file_load_from_file(keyFile, file.c_str(), G_KEY_FILE_NONE, nullptr)) {
      gchar* text = g_key_file_get_value(keyFile, group.c_str(), key, nullptr);
      if (text != nullptr) {
        GVariant* value = g_variant_parse(G_VARIANT_TYPE_STRING, text, nullptr, nullptr, nullptr);
        if (value != nullptr) {
          result = g_variant_get_string(value, nullptr);
          g_variant_unref(value);
        }
        g_free(text);
      }
    }
    g_key_file_free(keyFile);
    return result;
  }

  std::unique_ptr<TempFolder> folder_;
  TWallpaperPicture picture_;
};

TEST_F(GSettingsWallpaperTest, GnomeSetsBothPictureUrisToTheFile) {
  ASSERT_TRUE(SchemaInstalled("org.gnome.desktop.background"))
      << "install gsettings-desktop-schemas (scripts/install-deps.sh)";
  TGSettingsWallpaperBackend backend(GnomeRecipe());
  backend.Apply(picture_);
  const std::string uri = FileUri(picture_.BitmapFile);
  EXPECT_EQ(ReadString("org.gnome.desktop.background", "picture-uri"), uri);
  EXPECT_EQ(ReadString("org.gnome.desktop.background", "picture-uri-dark"), uri);
  EXPECT_EQ(StoredString("org.gnome.desktop.background", "picture-uri"), uri);
  EXPECT_EQ(StoredString("org.gnome.desktop.background", "picture-uri-dark"), uri);
  // GIO's own reading of the URI gives back the path.
  gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(std::string(path), picture_.BitmapFile);
  g_free(path);
}

TEST_F(GSettingsWallpaperTest, APictureOfSeveralScreensSpansThemAndOneLeavesThePlacement) {
  const std::pair<TGSettingsRecipe, const char*> desktops[] = {
      {GnomeRecipe(), "org.gnome.desktop.background"},
      {CinnamonRecipe(), "org.cinnamon.desktop.background"},
      {MateRecipe(), "org.mate.background"}};
  for (const auto& [recipe, schema] : desktops) {
    ASSERT_TRUE(SchemaInstalled(schema)) << "install the schemas of scripts/install-deps.sh";
    GSettings* settings = g_settings_new(schema);
    ASSERT_TRUE(g_settings_set_string(settings, "picture-options", "zoom"));
    g_settings_sync();
    TGSettingsWallpaperBackend backend(recipe);
    backend.Apply(picture_);
    EXPECT_EQ(ReadString(schema, "picture-options"), "zoom") << schema;
    TWallpaperPicture spanning = picture_;
    spanning.Screens = {{"DP-1", {0, 0, 1600, 900}, "", ""},
                        {"DP-2", {1600, 0, 2624, 768}, "", ""}};
    backend.Apply(spanning);
    EXPECT_EQ(ReadString(schema, "picture-options"), "spanned") << schema;
    g_object_unref(settings);
  }
}

TEST_F(GSettingsWallpaperTest, CinnamonSwitchesItsSlideshowOffFirst) {
  ASSERT_TRUE(SchemaInstalled("org.cinnamon.desktop.background.slideshow"))
      << "install cinnamon-desktop-data (scripts/install-deps.sh)";
  GSettings* slideshow = g_settings_new("org.cinnamon.desktop.background.slideshow");
  ASSERT_TRUE(g_settings_set_boolean(slideshow, "slideshow-enabled", TRUE));
  g_settings_sync();
  TGSettingsWallpaperBackend backend(CinnamonRecipe());
  backend.Apply(picture_);
  EXPECT_FALSE(g_settings_get_boolean(slideshow, "slideshow-enabled"));
  g_object_unref(slideshow);
  EXPECT_EQ(ReadString("org.cinnamon.desktop.background", "picture-uri"),
            FileUri(picture_.BitmapFile));
  EXPECT_EQ(StoredString("org.cinnamon.desktop.background", "picture-uri"),
            FileUri(picture_.BitmapFile));
}

TEST_F(GSettingsWallpaperTest, MateTakesThePlainPath) {
  ASSERT_TRUE(SchemaInstalled("org.mate.background"))
      << "install mate-desktop-common (scripts/install-deps.sh)";
  TGSettingsWallpaperBackend backend(MateRecipe());
  backend.Apply(picture_);
  EXPECT_EQ(ReadString("org.mate.background", "picture-filename"), picture_.BitmapFile);
  EXPECT_EQ(StoredString("org.mate.background", "picture-filename"), picture_.BitmapFile);
}

TEST_F(GSettingsWallpaperTest, AMissingSchemaIsAReasonNotACrash) {
  TGSettingsRecipe recipe{.Name = "test",
                          .Title = "Test",
                          .SwitchOff = {{"org.nimbra.no-such-schema", "slideshow", true}},
                          .UriKeys = {{"org.nimbra.no-such-schema", "picture-uri"}},
                          .PathKeys = {},
                          .SpanKeys = {}};
  TGSettingsWallpaperBackend backend(recipe);
  try {
    backend.Apply(picture_);
    ADD_FAILURE() << "a missing schema was taken for success";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("org.nimbra.no-such-schema ist nicht installiert"),
              std::string::npos)
        << error.what();
  }
  // A key of the wrong type is refused too, rather than written wrongly.
  TGSettingsWallpaperBackend wrongType(
      {.Name = "test",
       .Title = "Test",
       .SwitchOff = {},
       .UriKeys = {{"org.gnome.desktop.background", "show-desktop-icons"}},
       .PathKeys = {},
       .SpanKeys = {}});
  if (SchemaInstalled("org.gnome.desktop.background")) {
    EXPECT_THROW(wrongType.Apply(picture_), EWallpaperError);
  }
}

}  // namespace
}  // namespace nimbra
