// How long opening a package of 10,000 small entries ("photo-00001.jpg", 100 to 2000 bytes each)
// and reading its directory takes, as a plain package file and appended to an executable (goal: at
// most 20 ms each), and what "nimbra-kit list --json" adds on top, run in-process.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "TempFolder.h"
#include "nimbra-kit/KitCommands.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra::bench {

namespace {

constexpr int kEntryCount = 10000;

void Require(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

std::string EntryName(int number) {
  char name[32];
  std::snprintf(name, sizeof(name), "photo-%05d.jpg", number);
  return name;
}

// The same 10,000 entries as a package file and appended to a 4 KB executable.
class ListFiles {
 public:
  ListFiles() {
    const std::string code = folder_.Write("code", std::string(4096, '\x90'));
    std::filesystem::copy_file(code, Executable());
    TPackager package;
    TPackager appended;
    Require(package.CreatePackageFile(Package()), package.LastError());
    Require(appended.AppendToExecutable(Executable()), appended.LastError());

    std::mt19937 random(4711);
    std::uniform_int_distribution<int> size(100, 2000);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 1; i <= kEntryCount; ++i) {
      std::string bytes(static_cast<size_t>(size(random)), '\0');
      for (char& c : bytes) c = static_cast<char>(byte(random));
      for (TPackager* packager : {&package, &appended}) {
        TMemoryStream stream(bytes);
        Require(packager->AddStream(stream, std::make_unique<TPackageFileListItem>(EntryName(i))),
                packager->LastError());
      }
    }
    Require(package.Close(), package.LastError());
    Require(appended.Close(), appended.LastError());
  }

  std::string Package() const { return folder_.File("photos.pkg"); }
  std::string Executable() const { return folder_.File("album"); }

 private:
  test::TempFolder folder_;
};

void OpenAndCount(benchmark::State& state, const std::string& path, bool executable) {
  for (auto _ : state) {
    TPackager packager;
    const bool opened = executable ? packager.OpenExecutable(path) : packager.OpenPackageFile(path);
    if (!opened || packager.Directory().Count() != kEntryCount) {
      state.SkipWithError("the package did not open with all its entries");
    }
  }
}

void ListAsJson(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    std::ostringstream out;
    std::ostringstream err;
    if (kit::RunKit({"list", path, "--json"}, out, err) != kit::kExitOk) {
      state.SkipWithError("nimbra-kit list failed");
    }
    benchmark::DoNotOptimize(out.str().size());
  }
}

}  // namespace

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  using namespace nimbra::bench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  try {
    const ListFiles files;
    benchmark::RegisterBenchmark("OpenPackageFile", OpenAndCount, files.Package(), false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OpenExecutable", OpenAndCount, files.Executable(), true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("KitListJson", ListAsJson, files.Executable())
        ->Unit(benchmark::kMillisecond);
    std::cout << "Goal: OpenPackageFile and OpenExecutable at most 20 ms each.\n";
    benchmark::RunSpecifiedBenchmarks();
  } catch (const std::exception& error) {
    std::cerr << "PackageListBench: " << error.what() << "\n";
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
