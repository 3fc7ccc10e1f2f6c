// nimbra: the desktop photo album. It runs from the package behind its own executable, or from a
// slideshow and a template project named with -p and -t, and lives in the tray.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "album/AutoRun.h"
#include "album/DesktopNimbraProperties.h"
#include "album/NimbraApplicationInfo.h"
#include "album/ParameterParser.h"
#include "app/AlbumRemoteCommand.h"
#include "app/AlbumStartup.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraForm.h"
#include "app/DesktopNimbraTray.h"
#include "app/DisplayPlatform.h"
#include "app/MessageBox.h"
#include "app/OnlyStartOnce.h"
#include "app/ProgramOptions.h"
#include "framework/AfterInitialization.h"
#include "platform/AlbumControl.h"
#include "platform/WallpaperSetter.h"
#include "storage/Packager.h"

namespace {

using namespace nimbra;

constexpr const char* kNoDesktopText =
    "Ohne Desktop kann das Album nicht laufen: Es gibt keine Anzeige, auf der sein Symbol "
    "erscheinen könnte. Um eine Seite ohne Desktop zu rendern, starten Sie es mit --once "
    "(etwa --once --wallpaper=none).";

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
  QObject::connect(notifier.get(), &QSocketNotifier::activated, &form.Tray(), [&form] {
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
// mode, where the next page is shown. Faults have gone to standard error as the change met them
// (there is no icon to show them). Yields the exit code.
int ChangeOnce(TDesktopNimbraForm& form) {
  TNimbraDesktopChanger* changer = form.Changer();
  if (IsChangeMode(form.Settings()->ChangeMode(), TChangeMode::Timed)) changer->MoveBy(+1);
  changer->WaitForChange();
  const TWallpaperSetter* setter = changer->WallpaperSetter();
  if (changer->ShownPageIndex() < 0 || setter == nullptr) {
    if (changer->PageCount() == 0) form.Notify("Das Album hat keine Seiten.");
    return 1;
  }
  std::cout << "page " << changer->ShownPageIndex() + 1 << " of " << changer->PageCount()
            << " written to " << setter->CurrentFile() << std::endl;
  return 0;
}

// The running album answers `nimbra --next` and the other commands on the session bus. Without a
// bus it runs on, only without that control.
void StartAlbumControl(TDesktopNimbraForm& form, TAlbumControlService& control) {
  TDesktopNimbraTray& tray = form.Tray();
  TAlbumControlHandlers handlers;
  handlers.Next = [&tray] { tray.NextPageActionExecute(); };
  handlers.Previous = [&tray] { tray.PreviousPageActionExecute(); };
  handlers.Pause = [&tray] {
    if (!tray.Paused()) tray.PauseActionExecute();
  };
  handlers.Resume = [&tray] {
    if (tray.Paused()) tray.PauseActionExecute();
  };
  handlers.Quit = [&form] { form.Close(); };
  const TAlbumIdentity& album = form.Identity();
  try {
    control.Start(album.Key, album.Name, album.Source, std::move(handlers));
  } catch (const EAlbumControlError& error) {
    PrintMessage(std::string(error.what()) + " „nimbra --next“ und „--quit“ erreichen es nicht.");
  }
}

// A command for a running album; run as an album program without an album named, it is for
// that album.
int SendToRunningAlbum(const TProgramOptions& options, int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string wanted = options.ControlAlbum;
  const std::string own = TAutoRun::OwnExecutable();
  if (wanted.empty() && TPackager::IsPackage(own)) wanted = own;
  return RunAlbumRemoteCommand(options.Control, wanted);
}

int RunAlbum(const TProgramOptions& options, QApplication& app) {
  AfterInitialization().RunSteps();

  TDesktopNimbraFormOptions formOptions;
  formOptions.Tray.ShowIcon = !options.NoTray && !options.Once;
  formOptions.Tray.Unattended = options.Once;
  formOptions.WallpaperBackend = options.Wallpaper;
  formOptions.WallpaperOptions.CommandLine = options.WallpaperCommand;
  formOptions.Screen = options.WorkArea;
  formOptions.VendorLibraries.Load = options.VendorLibraries;
  // The single-instance guard runs once the album is known and before anything is loaded, so that
  // a second instance of it neither changes the wallpaper nor overwrites the remembered page.
  formOptions.ClaimAlbum = &ClaimOnlyInstance;
  TDesktopNimbraForm form(formOptions);
  form.FormCreate();
  if (form.Quitting()) return 1;
  if (options.Once) {
    const int code = ChangeOnce(form);
    // Settings that cannot be saved would show the same page at every run: that fails too.
    form.Shutdown();
    form.Close();
    return code != 0 || !form.SettingsSaved() ? 1 : 0;
  }
  const std::unique_ptr<QSocketNotifier> endSignals = CatchEndSignals(form);
  TAlbumControlService control;
  StartAlbumControl(form, control);
  app.exec();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TProgramOptions options;
  try {
    options = ParseProgramOptions(argc, argv);
  } catch (const EProgramUsageError& error) {
    std::cerr << "nimbra: " << error.what() << "\nHilfe: nimbra --help\n";
    return 2;
  }
  if (options.Help) {
    std::cout << ProgramUsage();
    return 0;
  }
  if (options.Version) {
    TNimbraApplicationInfo info;
    std::cout << info.CompanyName() << " " << info.ProductName() << " " << info.FullVersion()
              << "\n";
    return 0;
  }
  if (!options.Control.empty()) return SendToRunningAlbum(options, argc, argv);
  ChooseOffscreenPlatformWithoutDisplay();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  int code = 0;
  {
    const TAlbumStartup startup;
    SetParameterParser(std::make_unique<TParameterParser>(
        TParameterParser::FromArguments(argc, const_cast<const char* const*>(argv))));
    // Without a desktop the icon, its menu and its notices would show nowhere, and only a signal
    // could end the album. --no-tray asks for exactly that (a service that writes pages), and
    // --once needs no desktop at all. Without any album the album says how to make one instead.
    const bool namesAnAlbum =
        HasParameter('p') || HasParameter('t') || TPackager::IsPackage(TAutoRun::OwnExecutable());
    if (!options.Once && !options.NoTray && !CanShowMessageBoxes() && namesAnAlbum) {
      PrintMessage(kNoDesktopText);
      return 1;
    }
    code = RunAlbum(options, app);
    ReleaseOnlyStartOnce();
  }
  return code;
}
