#include "PlatformTestSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/ChildProcess.h"

extern char** environ;

namespace nimbra::test {

namespace fs = std::filesystem;

namespace {

// Waits a little for the bus's services to notice it has gone and end.
void ReapOrphans() {
  for (int waited = 0; waited < 60; ++waited) {
    int status = 0;
    const pid_t done = ::waitpid(-1, &status, WNOHANG);
    if (done < 0) return;  // no children left
    if (done == 0) ::usleep(50000);
  }
}

// Everything the test program shares, torn down when the program ends.
struct TSharedSession {
  TSharedSession() {
    std::string pattern = (fs::temp_directory_path() / "nimbra-platform-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    fs::create_directories(root / "config");
    // Before GIO or the bus read them: keep every setting in files of our own.
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    // Services the bus starts (xfconfd) become ours when the bus goes, so we can reap them.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  }
  ~TSharedSession() {
    bus.Stop();
    ReapOrphans();
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path root;
  TTestChild bus;
  std::string busError;
  bool busTried = false;
};

TSharedSession& Shared() {
  static TSharedSession session;
  return session;
}

}  // namespace

const fs::path& ScratchFolder() {
  return Shared().root;
}

std::string ConfigFolder() {
  return (Shared().root / "config").string();
}

std::string MissingTool(const std::string& program, const std::string& package) {
  if (ProgramExists(program)) return {};
  return program + " is not installed (Debian package " + package +
         "); run scripts/install-deps.sh";
}

std::string EnsurePrivateSessionBus() {
  TSharedSession& shared = Shared();
  if (shared.busTried) return shared.busError;
  shared.busTried = true;
  shared.busError = MissingTool("dbus-daemon", "dbus-daemon");
  if (!shared.busError.empty()) return shared.busError;
  std::string address;
  shared.busError = shared.bus.Start(
      {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"}, &address);
  if (shared.busError.empty() && address.empty())
    shared.busError = "dbus-daemon printed no address";
  if (shared.busError.empty()) ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  return shared.busError;
}

std::string TTestChild::Start(const std::vector<std::string>& argv, std::string* firstLine,
                              std::chrono::milliseconds timeout) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::strerror(errno);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (firstLine != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const int error = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (error != 0) {
    ::close(fds[0]);
    pid_ = 0;
    return argv[0] + ": " + std::strerror(error);
  }
  std::string line;
  if (firstLine != nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd poller{fds[0], POLLIN, 0};
      if (::poll(&poller, 1, 100) <= 0) continue;
      if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    *firstLine = line;
  }
  // Kept open while the child runs: a write to a closed pipe would kill it.
  output_ = fds[0];
  return {};
}

void TTestChild::Stop() {
  if (pid_ > 0) StopProcess(pid_);
  pid_ = 0;
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

std::string TXvfb::Start(int width, int height, const std::vector<std::string>& extra) {
  if (std::string missing = MissingTool("Xvfb", "xvfb"); !missing.empty()) return missing;
  std::string number;
  std::vector<std::string> argv{"Xvfb",     "-displayfd", "1",   "-screen",
                                "0",        std::to_string(width) + "x" + std::to_string(height) + "x24",
                                "-nolisten", "tcp",        "-noreset"};
  argv.insert(argv.end(), extra.begin(), extra.end());
  const std::string error = server_.Start(argv, &number);
  if (!error.empty()) return error;
  if (number.empty()) return "Xvfb reported no display number";
  display_ = ":" + number;
  return {};
}

std::string TDummyXorg::Start() {
  for (const auto& [program, package] : {std::pair{"Xorg", "xserver-xorg-core"},
                                         {"xrandr", "x11-xserver-utils"}}) {
    if (std::string missing = MissingTool(program, package); !missing.empty()) return missing;
  }
  const std::filesystem::path folder = ScratchFolder() / "xorg";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "xorg.conf")
      << "Section \"Device\"\n  Identifier \"dummy\"\n  Driver \"dummy\"\n"
         "  VideoRam 64000\nEndSection\n"
         "Section \"Monitor\"\n  Identifier \"monitor\"\n  HorizSync 5.0-1000.0\n"
         "  VertRefresh 5.0-200.0\nEndSection\n"
         "Section \"Screen\"\n  Identifier \"screen\"\n  Device \"dummy\"\n"
         "  Monitor \"monitor\"\n  DefaultDepth 24\n  SubSection \"Display\"\n"
         "    Depth 24\n    Virtual 1600 1000\n  EndSubSection\nEndSection\n";
  std::string number;
  const std::string error = server_.Start(
      {"Xorg", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-config",
       (folder / "xorg.conf").string(), "-configdir", folder.string(), "-logfile",
       (folder / "xorg.log").string()},
      &number);
  if (!error.empty()) return error;
  if (number.empty()) {
    return "Xorg reported no display number (see " + (folder / "xorg.log").string() + ")";
  }
  display_ = ":" + number;
  const std::vector<std::vector<std::string>> commands = {
      {"--newmode", "640x480_d", "25.18", "640", "656", "752", "800", "480", "490", "492", "525",
       "-hsync", "-vsync"},
      {"--addmode", "DUMMY1", "640x480_d"},
      {"--output", "DUMMY0", "--mode", "800x600", "--pos", "0x0", "--output", "DUMMY1", "--mode",
       "640x480_d", "--pos", "800x0"}};
  for (const std::vector<std::string>& command : commands) {
    std::vector<std::string> argv{"xrandr", "-display", display_};
    argv.insert(argv.end(), command.begin(), command.end());
    bool ok = false;
    const std::string output = RunForOutput(argv, &ok);
    if (!ok) return "xrandr " + command.front() + ": " + output;
  }
  return {};
}

TBitmap32 QuadrantPage(int width, int height, uint8_t seed) {
  TBitmap32 page(width, height);
  const TColor32 colours[4] = {Color32(seed, 0x20, 0x40), Color32(0x30, seed, 0x90),
                               Color32(0xC0, 0x50, seed), Color32(seed, seed, 0x08)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      page.SetPixel(x, y, colours[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)]);
    }
  }
  return page;
}

std::string RunForOutput(const std::vector<std::string>& argv, bool* ok) {
  const TProcessResult result = RunProcess(argv, std::chrono::seconds(20));
  if (ok != nullptr) *ok = result.Succeeded();
  std::string output = result.Output;
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

}  // namespace nimbra::test
