// The private desktop pieces the platform tests run against, started by the tests themselves:
// a session D-Bus (with xfconfd activated on demand), Xvfb servers, and a settings folder of our
// own so that nothing touches the user's real desktop. A missing tool fails the test that needs
// it, with the package to install.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra::test {

// The process-wide scratch folder; XDG_CONFIG_HOME points into it for the whole test program.
const std::filesystem::path& ScratchFolder();
std::string ConfigFolder();

// Empty when the program is in PATH, else a message naming what to install.
std::string MissingTool(const std::string& program, const std::string& package);

// Starts the private session bus once per process and points DBUS_SESSION_BUS_ADDRESS at it.
// Returns an error text, empty on success.
std::string EnsurePrivateSessionBus();

// A child process we started, ended (by its id) when this goes.
class TTestChild {
 public:
  TTestChild() = default;
  ~TTestChild() { Stop(); }
  TTestChild(const TTestChild&) = delete;
  TTestChild& operator=(const TTestChild&) = delete;

  // Starts argv and, when wanted, reads the first line it prints on standard output.
  // Returns an error text, empty on success.
  std::string Start(const std::vector<std::string>& argv, std::string* firstLine = nullptr,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20));
  void Stop();
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = 0;
  int output_ = -1;
};

// An Xvfb server on a display number it picked itself.
class TXvfb {
 public:
  // Returns an error text, empty on success. Extra arguments go to the server.
  std::string Start(int width, int height, const std::vector<std::string>& extra = {});
  const std::string& Display() const { return display_; }

 private:
  TTestChild server_;
  std::string display_;
};

// An Xorg server with the dummy driver showing two monitors side by side, 800 × 600 ("DUMMY0")
// and 640 × 480 ("DUMMY1") to its right: Xvfb has a single output. Needs root, as Xorg does.
class TDummyXorg {
 public:
  // Returns an error text, empty on success.
  std::string Start();
  const std::string& Display() const { return display_; }

 private:
  TTestChild server_;
  std::string display_;
};

// A page whose four quadrants have distinct colours, and the colour of each.
TBitmap32 QuadrantPage(int width, int height, uint8_t seed);

// Runs a program and yields its standard output, trailing newline removed; "" and ok=false
// when it fails.
std::string RunForOutput(const std::vector<std::string>& argv, bool* ok = nullptr);

}  // namespace nimbra::test
