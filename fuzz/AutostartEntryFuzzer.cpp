// libFuzzer target for the reader of autostart entries, which other programs write too: the
// [Desktop Entry] group's command and its Exec line's arguments. Nothing is refused, so what the
// sanitizers or libFuzzer's limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "album/AutoRun.h"

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const nimbra::TDesktopEntryCommand entry = nimbra::ParseDesktopEntryCommand(bytes);
  Expect(entry.Exec.size() <= size);
  const std::vector<std::string> arguments = nimbra::ParseExecLine(entry.Exec);
  // Whatever was read is written back so that it reads the same (text that is not UTF-8 cannot be
  // written into an entry at all).
  try {
    Expect(nimbra::ParseExecLine(nimbra::ExecLine(arguments)) == arguments);
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
