// How fast a packaged file reads compared with the same bytes as a plain file. A 200 MB file of
// pseudo-random bytes is read in 1 MiB blocks through TFileStream, and as the entry of a package
// appended to a 4 KB executable (and, for comparison, of a plain package file). Every file is read
// once before timing, so all of them come from a warm page cache. The goal is an entry/plain
// throughput ratio of at least 0.9; it is printed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "storage/FileStream.h"
#include "storage/Packager.h"

namespace nimbra::bench {

namespace {

constexpr int64_t kFileSize = int64_t{200} << 20;
constexpr int64_t kBlockSize = int64_t{1} << 20;
constexpr size_t kExecutableSize = 4096;
constexpr const char* kEntryName = "photos.bin";

int64_t ReadAll(TStream& stream, std::vector<char>& block) {
  int64_t total = 0;
  for (int64_t n; (n = stream.Read(block.data(), kBlockSize)) > 0;) total += n;
  return total;
}

void Require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

// The plain file, a package file holding it and an executable carrying it, in a private folder.
class ReadFiles {
 public:
  ReadFiles() {
    WriteRandomFile(Plain());
    TPackager packager;
    Require(packager.CreatePackageFile(Package()), packager.LastError());
    PackPlainFile(packager);

    const std::string code = folder_.Write("code", std::string(kExecutableSize, '\x90'));
    std::filesystem::copy_file(code, Executable());
    Require(packager.AppendToExecutable(Executable()), packager.LastError());
    PackPlainFile(packager);

    Require(packager.OpenExecutable(Executable()), packager.LastError());
    const TPackageFileListItem* entry = packager.Directory().First();
    Require(entry != nullptr, "the executable's package is empty");
    entryOffset_ = packager.StartOffset() + entry->Offset;
    for (const std::string& path : {Plain(), Package(), Executable()}) DropFromPageCache(path);
  }

  std::string Plain() const { return folder_.File(kEntryName); }
  std::string Package() const { return folder_.File("photos.pkg"); }
  std::string Executable() const { return folder_.File("album"); }
  // Where the entry's bytes begin in the executable's file.
  int64_t EntryOffset() const { return entryOffset_; }

 private:
  static void WriteRandomFile(const std::string& path) {
    std::mt19937_64 random(20240229);
    std::vector<uint64_t> block(kBlockSize / sizeof(uint64_t));
    TFileStream file(path, FileMode::Create);
    for (int64_t written = 0; written < kFileSize; written += kBlockSize) {
      for (uint64_t& word : block) word = random();
      file.WriteBuffer(block.data(), kBlockSize);
    }
    file.Flush();
  }

  // The page cache of a file just written keeps the shape of its writes: the package's 1 MiB
  // writes begin 44 bytes past a page, the plain file's on a page. Dropping the files lets the
  // warm-up read fill the cache the same way for all, as for an album that is run, not just made.
  static void DropFromPageCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    Require(fd >= 0, "cannot open " + path);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
  }

  // Adds the plain file to the package being written and finishes the package.
  void PackPlainFile(TPackager& packager) const {
    Require(packager.AddFile(Plain(), std::make_unique<TPackageFileListItem>(kEntryName)),
            packager.LastError());
    Require(packager.Close(), packager.LastError());
  }

  test::TempFolder folder_;
  int64_t entryOffset_ = 0;
};

// Reads the 200 MB that begin at offset straight from the file, without any package code.
int64_t ReadRange(const std::string& path, int64_t offset, std::vector<char>& block) {
  TFileStream file(path, FileMode::OpenRead);
  file.SetPosition(offset);
  int64_t total = 0;
  for (int64_t n; total < kFileSize &&
                  (n = file.Read(block.data(), std::min(kBlockSize, kFileSize - total))) > 0;) {
    total += n;
  }
  return total;
}

int64_t ReadEntry(const std::string& path, bool executable, std::vector<char>& block) {
  TPackager packager;
  if (!(executable ? packager.OpenExecutable(path) : packager.OpenPackageFile(path))) return -1;
  std::unique_ptr<TStream> entry = packager.OpenEntry(kEntryName);
  return entry ? ReadAll(*entry, block) : -1;
}

using Reader = std::function<int64_t(std::vector<char>& block)>;

// Reads the whole 200 MB once to warm the page cache, then registers timed reads of it.
void RegisterRead(const char* name, const Reader& read) {
  std::vector<char> block(kBlockSize);
  Require(read(block) == kFileSize, std::string(name) + ": the warm-up read came up short");
  auto timed = [read](benchmark::State& state) {
    std::vector<char> buffer(kBlockSize);
    for (auto _ : state) {
      if (read(buffer) != kFileSize) state.SkipWithError("a read came up short");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
  };
  // From a warm cache a read is a copy the processor makes, so the process's CPU time (the system's
  // share included) measures it, and keeps the ratio steady when other work shares the machine.
  benchmark::RegisterBenchmark(name, timed)->Unit(benchmark::kMillisecond);
}

// Prints as usual and keeps each run's throughput; the ratio compares medians, so that it holds
// up under --benchmark_repetitions.
class ThroughputReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto rate = run.counters.find("bytes_per_second");
      if (run.error_occurred || rate == run.counters.end()) continue;
      if (run.run_type == Run::RT_Iteration) {
        rates_[run.run_name.function_name].push_back(rate->second.value);
      } else if (run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = rate->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio(const std::string& of, const std::string& to) const {
    const double a = Median(of);
    const double b = Median(to);
    if (a <= 0 || b <= 0) return;
    std::cout << of << " / " << to << " = " << a / b << " (goal: >= 0.9)\n";
  }

 private:
  double Median(const std::string& name) const {
    if (const auto median = medians_.find(name); median != medians_.end()) return median->second;
    const auto found = rates_.find(name);
    if (found == rates_.end() || found->second.empty()) return 0;
    std::vector<double> rates = found->second;
    std::nth_element(rates.begin(), rates.begin() + static_cast<ptrdiff_t>(rates.size() / 2),
                     rates.end());
    return rates[rates.size() / 2];
  }

  std::map<std::string, std::vector<double>> rates_;
  std::map<std::string, double> medians_;  // reported instead of the runs with aggregates only
};

}  // namespace

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  using namespace nimbra::bench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  try {
    const ReadFiles files;
    RegisterRead("ReadPlainFile",
                 [&](std::vector<char>& block) { return ReadRange(files.Plain(), 0, block); });
    RegisterRead("ReadExecutableEntry", [&](std::vector<char>& block) {
      return ReadEntry(files.Executable(), true, block);
    });
    RegisterRead("ReadPackageFileEntry", [&](std::vector<char>& block) {
      return ReadEntry(files.Package(), false, block);
    });
    // The entry's bytes read in place: what the executable's file itself allows, for comparison.
    RegisterRead("ReadExecutableBytes", [&](std::vector<char>& block) {
      return ReadRange(files.Executable(), files.EntryOffset(), block);
    });
    ThroughputReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("ReadExecutableEntry", "ReadPlainFile");
    reporter.PrintRatio("ReadPackageFileEntry", "ReadPlainFile");
    reporter.PrintRatio("ReadExecutableEntry", "ReadExecutableBytes");
  } catch (const std::exception& error) {
    std::cerr << "PackageReadBench: " << error.what() << "\n";
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
