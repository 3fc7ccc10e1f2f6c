// nimbra: the desktop photo album. It runs from the package behind its own executable, or from a
// slideshow and a template project named with -p and -t, and lives in the tray.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/AlbumStartup.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraForm.h"
#include "app/DesktopNimbraProperties.h"
#include "app/DisplayPlatform.h"
#include "app/MessageBox.h"
#include "app/NimbraApplicationInfo.h"
#include "app/OnlyStartOnce.h"
#include "app/ParameterParser.h"
#include "framework/AfterInitialization.h"
#include "platform/WallpaperSetter.h"
#include "storage/TextCase.h"

namespace {

using namespace nimbra;

constexpr std::string_view kUsage =
    "Usage: nimbra [-pSLIDESHOW.kvt -tPROJECT.pwt] [-i] [-a] [-b] [OPTION]...\n"
    "\n"
    "Shows the pages of a photo album as the desktop wallpaper, one after the other, and lives in\n"
    "the tray. An album executable made with `nimbra-kit pack --exe` carries its documents and\n"
    "ignores -p and -t.\n"
    "\n"
    "  -pFILE                 the slideshow document (no blank after the switch)\n"
    "  -tFILE                 the template project\n"
    "  -i                     start with the first page instead of the one shown last\n"
    "  -a                     install the autostart entry\n"
    "  -b                     remove the autostart entry\n"
    "      --once             make one change (the next page in timed mode), print where the\n"
    "                         page was written, save the settings and exit\n"
    "      --no-tray          run without a tray icon\n"
    "      --wallpaper=NAME   how the wallpaper is set: auto, gnome, cinnamon, mate, kde, xfce,\n"
    "                         sway, x11, command, none (the picture file only)\n"
    "      --wallpaper-command=CMD\n"
    "                         the command of --wallpaper=command; %f stands for the file\n"
    "      --work-area=WxH    render the pages at this size instead of the screen's work area\n"
    "      --help             show this help\n"
    "      --version          show the version\n";

struct TProgramOptions {
  bool Once = false;
  bool NoTray = false;
  bool Help = false;
  bool Version = false;
  std::string Wallpaper = "auto";
  std::string WallpaperCommand;
  std::optional<TScreenGeometry> WorkArea;
};

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::optional<TScreenGeometry> ParseWorkArea(std::string_view text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto number = [](std::string_view digits) -> int {
    if (digits.empty() || digits.size() > 5) return 0;
    int value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return 0;
      value = value * 10 + (c - '0');
    }
    return value;
  };
  const int width = number(text.substr(0, x));
  const int height = number(text.substr(x + 1));
  if (width <= 0 || height <= 0) return std::nullopt;
  return FixedScreenGeometry(width, height);
}

// The long options; every other argument is left to the album's own switches.
TProgramOptions ParseOptions(int argc, char** argv) {
  TProgramOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!arg.starts_with("--")) continue;
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : arg.substr(equals + 1);
    if (name == "--once") {
      options.Once = true;
    } else if (name == "--no-tray") {
      options.NoTray = true;
    } else if (name == "--help") {
      options.Help = true;
    } else if (name == "--version") {
      options.Version = true;
    } else if (name == "--wallpaper" && !value.empty()) {
      options.Wallpaper = std::string(value);
    } else if (name == "--wallpaper-command" && !value.empty()) {
      options.WallpaperCommand = std::string(value);
    } else if (name == "--work-area") {
      options.WorkArea = ParseWorkArea(value);
      if (!options.WorkArea) throw TUsageError("--work-area needs WIDTHxHEIGHT, got '" +
                                               std::string(value) + "'");
    } else {
      throw TUsageError("unknown option '" + std::string(arg) + "'");
    }
  }
  bool known = false;
  for (const std::string& backend : WallpaperBackendNames()) {
    known = known || SameText(backend, options.Wallpaper);
  }
  if (!known) throw TUsageError("unknown wallpaper backend '" + options.Wallpaper + "'");
  return options;
}

// SIGTERM, SIGINT and SIGHUP (the end of the session) end the album as its exit action does:
// the handler only writes a byte, which the event loop reads.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

std::unique_ptr<QSocketNotifier> CatchEndSignals(TDesktopNimbraForm& form) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, &form, [&form] {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signalPipe[0], &byte, 1);
    form.Close();
  });
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
  return notifier;
}

// --once: the change the settings ask for at start has been started by now, except in timed
// mode, where the next page is shown. Yields the exit code.
int ChangeOnce(TDesktopNimbraForm& form) {
  TNimbraDesktopChanger* changer = form.Changer();
  bool failed = false;
  const auto renderError = changer->OnRenderError;
  changer->OnRenderError = [&failed, renderError](const std::string& message) {
    failed = true;
    if (renderError) renderError(message);
  };
  if (form.Settings()->ChangeMode() == 0) changer->MoveBy(+1);
  changer->WaitForChange();
  changer->OnRenderError = renderError;
  const TWallpaperSetter* setter = changer->WallpaperSetter();
  const std::string file = setter != nullptr ? setter->CurrentFile() : std::string();
  if (failed || file.empty()) {
    std::cerr << "nimbra: no page was shown";
    if (setter != nullptr && !setter->LastError().empty()) std::cerr << ": " << setter->LastError();
    std::cerr << "\n";
    return 1;
  }
  std::cout << "page " << changer->PageIndex() + 1 << " of " << changer->PageCount()
            << " written to " << file << std::endl;
  return 0;
}

int RunAlbum(const TProgramOptions& options, QApplication& app) {
  // The single-instance guard runs before the album window exists and loads anything, so that a
  // second instance neither shows an icon, nor changes the wallpaper, nor overwrites the
  // remembered page.
  bool terminated = false;
  RegisterOnlyStartOnce([](const std::string& message) { ShowMessageBox(message); },
                        [&terminated] { terminated = true; });
  AfterInitialization().RunSteps();
  if (terminated) return 1;

  TDesktopNimbraFormOptions formOptions;
  formOptions.Tray.ShowIcon = !options.NoTray && !options.Once;
  formOptions.WallpaperBackend = options.Wallpaper;
  formOptions.WallpaperOptions.CommandLine = options.WallpaperCommand;
  formOptions.Screen = options.WorkArea;
  TDesktopNimbraForm form(formOptions);
  form.FormCreate();
  if (form.Quitting()) return 1;
  if (options.Once) {
    const int code = ChangeOnce(form);
    form.Close();
    return code;
  }
  const std::unique_ptr<QSocketNotifier> endSignals = CatchEndSignals(form);
  app.exec();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TProgramOptions options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const TUsageError& error) {
    std::cerr << "nimbra: " << error.what() << "\nTry 'nimbra --help'.\n";
    return 2;
  }
  if (options.Help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.Version) {
    TNimbraApplicationInfo info;
    std::cout << info.CompanyName() << " " << info.ProductName() << " " << info.FullVersion()
              << "\n";
    return 0;
  }
  ChooseOffscreenPlatformWithoutDisplay();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int code = 0;
  {
    const TAlbumStartup startup;
    SetParameterParser(std::make_unique<TParameterParser>(
        TParameterParser::FromArguments(argc, const_cast<const char* const*>(argv))));
    code = RunAlbum(options, app);
    ReleaseOnlyStartOnce();
  }
  return code;
}
