// A library that says where it was loaded from: its constructor appends its own path to the file
// named by NIMBRA_LOADED_LIBRARIES. It stands for a vendor library in a package and for whatever
// someone else places under a vendor library's name, so that tests see which file, if any, ran.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void AnnounceLoading() {
  const char* log = std::getenv("NIMBRA_LOADED_LIBRARIES");
  Dl_info info{};
  if (log == nullptr || ::dladdr(reinterpret_cast<void*>(&AnnounceLoading), &info) == 0) return;
  if (FILE* file = std::fopen(log, "a")) {
    std::fprintf(file, "%s\n", info.dli_fname);
    std::fclose(file);
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int JP2_Decompress_Start() {
  return 31;
}
