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

std::string PlasmaWallpaperScript(const std::string& fileUri,
                                  const std::vector<std::string>& screenUris) {
  // ES5 only: Plasma 5's script engine predates let, const and for-of.
  std::string script = "var image = " + JavaScriptString(fileUri) + ";\n";
  std::string choice;
  if (!screenUris.empty()) {
    script += "var pictures = [";
    for (size_t i = 0; i < screenUris.size(); ++i) {
      script += (i == 0 ? "" : ", ") + JavaScriptString(screenUris[i]);
    }
    script +=
        "];\n"
        // Plasma numbers its screens in an order of its own; ours are left to right, then top to
        // bottom.
        "var order = [];\n"
        "var desks = desktops();\n"
        "for (var k = 0; k < desks.length; k++) {\n"
        "  if (desks[k].screen >= 0 && order.indexOf(desks[k].screen) < 0) "
        "order.push(desks[k].screen);\n"
        "}\n"
        "order.sort(function (a, b) {\n"
        "  var ga = screenGeometry(a), gb = screenGeometry(b);\n"
        "  return ga.x != gb.x ? ga.x - gb.x : ga.y - gb.y;\n"
        "});\n";
    choice =
        "  var rank = order.indexOf(d.screen);\n"
        "  var picture = rank >= 0 ? pictures[rank % pictures.length] : image;\n";
  }
  return script +
         "var all = desktops();\n"
         // With no desktop the script would do nothing and still succeed; raising makes the
         // shell answer with an error.
         "if (all.length == 0) throw new Error(\"Plasma hat keine Arbeitsfläche\");\n"
         "for (var i = 0; i < all.length; i++) {\n"
         "  var d = all[i];\n" +
         choice +
         "  d.wallpaperPlugin = \"org.kde.image\";\n"
         "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n" +
         (choice.empty() ? "  d.writeConfig(\"Image\", image);\n"
                         : "  d.writeConfig(\"Image\", picture);\n") +
         "}\n";
}

void TPlasmaWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  QDBusMessage call = QDBusMessage::createMethodCall("org.kde.plasmashell", "/PlasmaShell",
                                                     "org.kde.PlasmaShell", "evaluateScript");
  std::vector<std::string> screenUris;
  for (const TWallpaperScreen& screen : picture.Screens) {
    if (!screen.BitmapFile.empty()) screenUris.push_back(FileUri(screen.BitmapFile));
  }
  // Only with a picture for every screen; else the whole one everywhere.
  if (screenUris.size() != picture.Screens.size()) screenUris.clear();
  call << QString::fromStdString(
      PlasmaWallpaperScript(FileUri(picture.BitmapFile), screenUris));
  CallSessionBus(call);
}

}  // namespace nimbra
