// Writing a fuzz input into a file for a reader that takes file names.
#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace nimbra::fuzz {

// Replaces the file by a new one holding the bytes; false when that fails. The old file goes
// first: ext4 writes a file that was cut to nothing back to disk when it is closed, which made
// every run wait for the disk.
inline bool WriteFreshFile(const std::filesystem::path& file, std::string_view bytes) {
  std::error_code error;
  std::filesystem::remove(file, error);
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace nimbra::fuzz
