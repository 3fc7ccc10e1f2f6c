// How much CPU time and memory drawing one picture into a 1920 × 1080 box takes along the picture
// element's own path (LoadPicture, then PreparePicture), for files that claim very large pictures
// in few bytes and for an ordinary photo. Goal: every picture is drawn or refused within 2 s of
// CPU and a peak of 300 MB.
//
// Each picture is drawn by a child process of its own, so that its peak resident size is its own;
// the parent takes CPU time and peak from wait4, kills a child after the time limit and caps its
// address space. vipsthumbnail, making a thumbnail of the same box from the same file, is timed
// the same way for reference.
//
//   PictureBoxBench [--time-limit=SECONDS] [--address-space=GB] [--only=TEXT]
#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LargePictureFiles.h"
#include "LibraryTestPictures.h"
#include "PhotoJpeg.h"
#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "elements/PrintPageElementPicture.h"
#include "framework/Plugins.h"
#include "raster/CodecError.h"
#include "raster/PictureFile.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/Transform.h"
#include "storage/FileAccess.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::bench {

namespace {

constexpr int kBoxWidth = 1920;
constexpr int kBoxHeight = 1080;
constexpr double kGoalSeconds = 2.0;
constexpr double kGoalMegabytes = 300.0;

struct TOptions {
  double timeLimit = 60;
  double addressSpaceGb = 6;
  std::string only;
};

struct TInput {
  std::string name;
  std::string file;
  std::function<std::string()> make;
};

std::vector<TInput> Inputs() {
  using namespace test;
  return {
      {"PNG 268435456x1", "wide.png", [] { return BlankPng(268435456, 1); }},
      {"TIFF 268435456x1", "wide.tif", [] { return BlankTiff(268435456, 1, 1); }},
      {"PNG 1x268435456", "tall.png", [] { return BlankPng(1, 268435456); }},
      {"PNG 16384x16384", "large.png", [] { return BlankPng(16384, 16384); }},
      {"PNG 16384x16384 interlaced", "adam7.png", [] { return BlankPng(16384, 16384, true); }},
      {"TIFF 16000x16000", "large.tif", [] { return BlankTiff(16000, 16000, 16); }},
      {"Targa 65535x4096", "large.tga", [] { return BlankTarga(65535, 4096); }},
      {"JPEG 16000x16000 progressive", "progressive.jpg",
       [] { return BlankJpeg(16000, 16000, true); }},
      {"JPEG 16000x16000 baseline", "baseline.jpg", [] { return BlankJpeg(16000, 16000, false); }},
      {"BMP 16384x16384 run-length", "large.bmp", [] { return BlankRunLengthBmp(16384, 16384); }},
      {"JPEG 6000x4000 photo", "photo.jpg", [] { return PhotoJpegBytes(6000, 4000, 90); }},
      {"JPEG 2000 6000x4000 photo", "photo.jp2",
       [] { return Jpeg2000Bytes(PhotoBitmap(6000, 4000), true, false); }},
  };
}

// What the album does with one photo of a page, on its own.
std::string DrawIntoBox(const std::string& path) {
  SetMainPlugins(std::make_unique<TPlugins>());
  PageTemplatesStartup();
  ElementsStartup();
  RegisterPictureFormats();
  SetFileAccess(std::make_shared<TFileAccess>());
  TPrintPageElementPicture element;
  element.PictureProperties().SetUseSlideShowPicture(false);
  element.SetFileName(path);
  element.SetRendering(1);
  std::unique_ptr<TBitmap32> picture = element.LoadPicture(kBoxWidth, kBoxHeight);
  if (!picture) {
    // The header tells why, without decoding anything.
    try {
      ReadShownSize(*FileAccess(), path);
    } catch (const ECodecError& error) {
      return std::string("refused: ") + error.what();
    }
    return "refused";
  }
  const TPixelRect box{0, 0, kBoxWidth, kBoxHeight};
  TAffineTransformation transformation;
  if (!element.PreparePicture(*picture, box, box, transformation)) return "not drawn";
  return "drawn " + std::to_string(picture->Width()) + "x" + std::to_string(picture->Height());
}

struct TRun {
  std::string result;
  double cpuSeconds = 0;
  double peakMegabytes = 0;
  bool killed = false;
};

void LimitAddressSpace(double gigabytes) {
  const auto bytes = static_cast<rlim_t>(gigabytes * 1024 * 1024 * 1024);
  const rlimit limit{bytes, bytes};
  setrlimit(RLIMIT_AS, &limit);
}

// Runs work in a child whose result text comes back through a pipe, within the limits.
TRun InChild(const TOptions& options, const std::function<std::string()>& work) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {"no pipe"};
  const pid_t child = fork();
  if (child < 0) return {"no child"};
  if (child == 0) {
    close(pipeEnds[0]);
    LimitAddressSpace(options.addressSpaceGb);
    std::string result;
    try {
      result = work();
    } catch (const std::exception& error) {
      result = std::string("failed: ") + error.what();
    }
    if (write(pipeEnds[1], result.data(), result.size()) < 0) _exit(2);
    _exit(0);
  }
  close(pipeEnds[1]);
  TRun run;
  int status = 0;
  rusage usage{};
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (wait4(child, &status, WNOHANG, &usage) == child) break;
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    if (waited.count() > options.timeLimit) {
      kill(child, SIGKILL);
      wait4(child, &status, 0, &usage);
      run.killed = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  char buffer[512];
  ssize_t n = 0;
  while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) run.result.append(buffer, size_t(n));
  close(pipeEnds[0]);
  if (run.killed) {
    run.result = "killed after " + std::to_string(int(options.timeLimit)) + " s";
  } else if (WIFSIGNALED(status)) {
    run.result = "died of signal " + std::to_string(WTERMSIG(status));
  } else if (run.result.empty()) {
    run.result = "exit " + std::to_string(WEXITSTATUS(status));
  }
  const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
  run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.peakMegabytes = double(usage.ru_maxrss) / 1024;
  return run;
}

// vipsthumbnail replaces the child, so its own exit status tells how it went.
TRun Vips(const TOptions& options, const std::string& path, const std::string& output) {
  return InChild(options, [&]() -> std::string {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    const std::string size = std::to_string(kBoxWidth) + "x" + std::to_string(kBoxHeight);
    execlp("vipsthumbnail", "vipsthumbnail", path.c_str(), "--size", size.c_str(), "-o",
           output.c_str(), static_cast<char*>(nullptr));
    return "not installed";
  });
}

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&](const std::string& name) {
      return argument.rfind(name, 0) == 0 ? argument.substr(name.size()) : std::string();
    };
    if (const std::string v = value("--time-limit="); !v.empty()) {
      options.timeLimit = std::stod(v);
    } else if (const std::string a = value("--address-space="); !a.empty()) {
      options.addressSpaceGb = std::stod(a);
    } else if (const std::string o = value("--only="); !o.empty()) {
      options.only = o;
    } else {
      std::cerr << "usage: PictureBoxBench [--time-limit=SECONDS] [--address-space=GB] "
                   "[--only=TEXT]\n";
      std::exit(2);
    }
  }
  return options;
}

}  // namespace

int Main(int argc, char** argv) {
  const TOptions options = ParseOptions(argc, argv);
  test::TempFolder folder;
  std::printf("%-30s %9s  %-50s %7s %8s %5s | %9s %8s\n", "input", "file KB", "result", "CPU s",
              "peak MB", "goal", "vips CPU", "vips MB");
  bool allWithin = true;
  for (const TInput& input : Inputs()) {
    if (!options.only.empty() && input.name.find(options.only) == std::string::npos) continue;
    const std::string path = folder.Write(input.file, input.make());
    // A child starts with the parent's resident pages: memory freed after making a large input
    // must not count as the child's.
    malloc_trim(0);
    const double kilobytes = double(std::filesystem::file_size(path)) / 1024;
    const TRun run = InChild(options, [&] { return DrawIntoBox(path); });
    const bool within =
        !run.killed && run.cpuSeconds < kGoalSeconds && run.peakMegabytes < kGoalMegabytes;
    allWithin = allWithin && within;
    const TRun vips = Vips(options, path, folder.File("thumbnail-" + input.file + ".png"));
    char vipsCpu[32];
    std::snprintf(vipsCpu, sizeof vipsCpu, "%.2f", vips.cpuSeconds);
    std::printf("%-30s %9.0f  %-50.50s %7.2f %8.0f %5s | %9.9s %8.0f\n", input.name.c_str(),
                kilobytes, run.result.c_str(), run.cpuSeconds, run.peakMegabytes,
                within ? "yes" : "NO", vips.result == "exit 0" ? vipsCpu : vips.result.c_str(),
                vips.peakMegabytes);
    std::fflush(stdout);
    std::filesystem::remove(path);
  }
  return allWithin ? 0 : 1;
}

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  return nimbra::bench::Main(argc, argv);
}
