// The input of the picture box fuzzer, shared with its seed writer: an eight-byte header that says
// which reader decodes the picture and how it is drawn into its box, then the picture file.
//   byte 0     the reader (its index among PictureReaders(), modulo their number)
//   bytes 1-2  box width and height less one, modulo kMaxFuzzBoxSide
//   byte 3     bit 0 keep the aspect, bit 1 turn automatically, bit 2 the element has effects
//              (rendering then works on the reduced copy), bit 3 the design view, bits 4-5 the
//              fit mode (3 is none)
//   bytes 4-7  the angle as a little-endian float, as the element turns by it
// Include this header in one source file per program.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbra::fuzz {

inline constexpr size_t kPictureBoxHeaderSize = 8;
// What drawing costs follows from how far a picture is shrunk: small boxes make the large ratios
// of small files common and keep the ordinary runs quick.
inline constexpr int kMaxFuzzBoxSide = 64;

struct TPictureBoxHeader {
  uint8_t Reader = 0;
  int BoxWidth = 1;
  int BoxHeight = 1;
  bool KeepAspect = false;
  bool AutoRotate = false;
  bool HasEffects = false;
  bool Preview = false;
  uint8_t FitMode = 0;
  float Angle = 0;

  // data holds at least kPictureBoxHeaderSize bytes.
  static TPictureBoxHeader Read(const uint8_t* data) {
    TPictureBoxHeader header;
    header.Reader = data[0];
    header.BoxWidth = 1 + data[1] % kMaxFuzzBoxSide;
    header.BoxHeight = 1 + data[2] % kMaxFuzzBoxSide;
    header.KeepAspect = (data[3] & 0x01) != 0;
    header.AutoRotate = (data[3] & 0x02) != 0;
    header.HasEffects = (data[3] & 0x04) != 0;
    header.Preview = (data[3] & 0x08) != 0;
    header.FitMode = (data[3] >> 4) & 0x03;
    const uint32_t angle = uint32_t{data[4]} | uint32_t{data[5]} << 8 | uint32_t{data[6]} << 16 |
                           uint32_t{data[7]} << 24;
    header.Angle = std::bit_cast<float>(angle);
    return header;
  }

  std::string Bytes() const {
    const auto flags = static_cast<uint8_t>((KeepAspect ? 0x01 : 0) | (AutoRotate ? 0x02 : 0) |
                                            (HasEffects ? 0x04 : 0) | (Preview ? 0x08 : 0) |
                                            (FitMode & 0x03) << 4);
    const auto angle = std::bit_cast<uint32_t>(Angle);
    std::string bytes{static_cast<char>(Reader), static_cast<char>(BoxWidth - 1),
                      static_cast<char>(BoxHeight - 1), static_cast<char>(flags)};
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(angle >> shift));
    return bytes;
  }
};

}  // namespace nimbra::fuzz
