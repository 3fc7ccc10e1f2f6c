// libFuzzer target for the reader of the settings store's values files. A values file has no
// slack: whatever DecodeKeyValues accepts must encode to exactly the bytes it came from, with every
// name once. Bad bytes are refused with EKeyValueStoreError; what the sanitizers or libFuzzer's
// limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "framework/KeyValueStore.h"

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::TKeyValues values;
  try {
    values = nimbra::DecodeKeyValues(bytes);
  } catch (const nimbra::EKeyValueStoreError&) {
    return 0;
  }
  std::set<std::string> names;
  for (const auto& [name, value] : values) Expect(names.insert(name).second);
  Expect(nimbra::EncodeKeyValues(values) == bytes);
  return 0;
}
