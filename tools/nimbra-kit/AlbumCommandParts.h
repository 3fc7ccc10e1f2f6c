// The parts of nimbra-kit album that stand on their own: the names photos get inside the album's
// package, the options of the command line, the program an album is built on, and the progress bar
// shown while the photos are packed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "raster/PictureSize.h"

namespace nimbra::kit {

class TCommandLine;

// One package name per file name, in the same order: the file name itself while it is free, else
// the name with "-2", "-3", ... before its extension. Names are compared without regard to case,
// as the package does, and characters a package cannot store become "_".
std::vector<std::string> UniquePackageNames(const std::vector<std::string>& fileNames);

// "30m", "90s", "1h", "1h30m": milliseconds. Raises EUsageError for anything else, and for
// intervals under one second or too long to store.
int32_t ParseInterval(const std::string& text);

// "timed", "start", "manual": the settings' change mode 0, 1 or 2.
uint8_t ParseChangeMode(const std::string& word);

// "3840x2160": the box of --max-size. Raises EUsageError for anything else.
TPictureSize ParseMaxPhotoSize(const std::string& text);

struct TAlbumOptions {
  TPhotoOrder Order = TPhotoOrder::ByDate;
  std::optional<int32_t> Interval;  // milliseconds
  std::optional<uint8_t> ChangeMode;
  // The box larger photos are reduced to fit; none keeps every photo as it is.
  std::optional<TPictureSize> MaxPhotoSize;
};

// Checks that the command line names the output, at least one photo folder and the layout (which
// the command reads from it) and reads the other options; raises EUsageError.
TAlbumOptions ReadAlbumOptions(const TCommandLine& commandLine);

// The album program beside the running nimbra-kit, else the first "nimbra" on PATH; empty when
// there is none.
std::string FindAlbumProgram();

// A one-line bar on a terminal, redrawn as the count grows; silent when the stream is not one.
class TProgressBar {
 public:
  TProgressBar(std::FILE* terminal, std::string label, size_t total);
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  void Step();
  // Leaves the line, when one was drawn.
  void Finish();

 private:
  void Draw();

  std::FILE* terminal_;
  std::string label_;
  size_t total_;
  size_t done_ = 0;
  bool drawn_ = false;
};

}  // namespace nimbra::kit
