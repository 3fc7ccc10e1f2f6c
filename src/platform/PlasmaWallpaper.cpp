#include "platform/PlasmaWallpaper.h"

#include <QString>
#include <cstdio>

#include "platform/FileUri.h"
#include "platform/SessionBus.h"

namespace nimbra {

std::string JavaScriptString(const std::string& text) {
  std::string literal = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      literal += '\\';
      literal += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      literal += escape;
    } else if (c == 0xE2 && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0x80 &&
               (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
                static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
      // U+2028 and U+2029 end a line inside older script engines' string literals.
      literal += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      literal += static_cast<char>(c);
    }
  }
  return literal + "\"";
}

std::string PlasmaWallpaperScript(const std::string& fileUri) {
  // ES5 only: Plasma 5's script engine predates let, const and for-of.
  return "var image = " + JavaScriptString(fileUri) +
         ";\n"
         "var all = desktops();\n"
         // With no desktop the script would do nothing and still succeed; raising makes the
         // shell answer with an error.
         "if (all.length == 0) throw new Error(\"Plasma hat keine Arbeitsfläche\");\n"
         "for (var i = 0; i < all.length; i++) {\n"
         "  var d = all[i];\n"
         "  d.wallpaperPlugin = \"org.kde.image\";\n"
         "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
         "  d.writeConfig(\"Image\", image);\n"
         "}\n";
}

void TPlasmaWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  QDBusMessage call = QDBusMessage::createMethodCall("org.kde.plasmashell", "/PlasmaShell",
                                                     "org.kde.PlasmaShell", "evaluateScript");
  call << QString::fromStdString(PlasmaWallpaperScript(FileUri(picture.BitmapFile)));
  CallSessionBus(call);
}

}  // namespace nimbra
