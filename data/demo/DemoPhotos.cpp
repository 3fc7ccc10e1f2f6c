#include "DemoPhotos.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <stdexcept>

#include "raster/Blend.h"
#include "raster/PictureWriters.h"
#include "storage/MemoryStream.h"

namespace nimbra::demo {

namespace {

namespace fs = std::filesystem;

TColor32 FromHsv(double hue, double saturation, double value) {
  const double c = value * saturation;
  const double h = std::fmod(hue, 360.0) / 60.0;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (h < 1) {
    r = c;
    g = x;
  } else if (h < 2) {
    r = x;
    g = c;
  } else if (h < 3) {
    g = c;
    b = x;
  } else if (h < 4) {
    g = x;
    b = c;
  } else if (h < 5) {
    r = x;
    b = c;
  } else {
    r = c;
    b = x;
  }
  const double m = value - c;
  auto byte = [m](double v) { return static_cast<uint8_t>(std::lround((v + m) * 255)); };
  return Color32(byte(r), byte(g), byte(b));
}

// A small generator of our own, so that the same seed paints the same photo everywhere.
uint32_t Next(uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

void Disc(TBitmap32& picture, double cx, double cy, double radius, TColor32 colour) {
  const int top = std::max(0, static_cast<int>(cy - radius));
  const int bottom = std::min(picture.Height() - 1, static_cast<int>(cy + radius));
  for (int y = top; y <= bottom; ++y) {
    const double dy = y - cy;
    const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    const int left = std::max(0, static_cast<int>(cx - half));
    const int right = std::min(picture.Width() - 1, static_cast<int>(cx + half));
    for (int x = left; x <= right; ++x) picture.SetPixel(x, y, colour);
  }
}

void Append(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// "Exif", two NUL bytes, and a little-endian TIFF structure whose first directory points to an
// EXIF directory holding DateTimeOriginal.
std::string ExifPayload(const std::string& dateTime) {
  const std::string text = dateTime + '\0';
  std::string tiff = "II";
  Append(tiff, 42, 2);
  Append(tiff, 8, 4);
  // first directory at 8: one entry (the EXIF directory's offset), no next directory
  const uint32_t exifDirectory = 8 + 2 + 12 + 4;
  Append(tiff, 1, 2);
  Append(tiff, 0x8769, 2);
  Append(tiff, 4, 2);
  Append(tiff, 1, 4);
  Append(tiff, exifDirectory, 4);
  Append(tiff, 0, 4);
  // EXIF directory: DateTimeOriginal, its text right behind the directory
  const uint32_t textOffset = exifDirectory + 2 + 12 + 4;
  Append(tiff, 1, 2);
  Append(tiff, 0x9003, 2);
  Append(tiff, 2, 2);
  Append(tiff, static_cast<uint32_t>(text.size()), 4);
  Append(tiff, textOffset, 4);
  Append(tiff, 0, 4);
  tiff += text;
  return std::string("Exif\0\0", 6) + tiff;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

TColor32 SignatureColor(int index, int count) {
  // Hues spread by the golden angle, in three brightness steps, stay apart for dozens of photos.
  const double hue = std::fmod(index * 137.507764, 360.0);
  const double value = 1.0 - 0.25 * (index % 3);
  const double saturation = count > 24 && index % 2 == 1 ? 0.6 : 0.95;
  return FromHsv(hue, saturation, value);
}

TBitmap32 PaintDemoPhoto(int width, int height, TColor32 signature, uint32_t seed) {
  TBitmap32 picture(width, height);
  uint32_t state = seed * 2654435761u + 1;
  const double hue = Next(state) % 360;
  const TColor32 skyTop = FromHsv(hue, 0.55, 0.55);
  const TColor32 skyBottom = FromHsv(hue + 40, 0.35, 0.95);
  for (int y = 0; y < height; ++y) {
    const TColor32 row = MixColors(skyTop, skyBottom, static_cast<double>(y) / height);
    TColor32* line = picture.ScanLine(y);
    std::fill(line, line + width, row);
  }
  Disc(picture, width * (0.15 + (Next(state) % 70) / 100.0), height * 0.25,
       std::min(width, height) * 0.12, FromHsv(45, 0.7, 1.0));
  // Hills: two bands of sine waves, the nearer one darker.
  for (int band = 0; band < 2; ++band) {
    const double phase = (Next(state) % 628) / 100.0;
    const double base = height * (band == 0 ? 0.62 : 0.78);
    const TColor32 colour = FromHsv(hue + 120 + band * 20, 0.6, band == 0 ? 0.55 : 0.35);
    for (int x = 0; x < width; ++x) {
      const double crest =
          base - height * 0.06 * std::sin(phase + x * 2 * std::numbers::pi / (width * 0.7));
      for (int y = std::max(0, static_cast<int>(crest)); y < height; ++y) {
        picture.SetPixel(x, y, colour);
      }
    }
  }
  const int blockWidth = std::max(4, width / 10);
  const int blockHeight = std::max(4, height / 10);
  FillRect(picture,
           TRect{(width - blockWidth) / 2, (height - blockHeight) / 2, (width + blockWidth) / 2,
                 (height + blockHeight) / 2},
           signature);
  return picture;
}

std::string EncodeJpeg(const TBitmap32& picture) {
  TMemoryStream stream;
  SaveJpeg(picture, stream, 92);
  return stream.ToString();
}

std::string EncodePng(const TBitmap32& picture) {
  TMemoryStream stream;
  SavePng(picture, stream);
  return stream.ToString();
}

std::string WithCaptureTime(const std::string& jpeg, const std::string& dateTime) {
  if (jpeg.size() < 2 || jpeg.compare(0, 2, "\xFF\xD8") != 0) {
    throw std::invalid_argument("not a JPEG file");
  }
  const std::string payload = ExifPayload(dateTime);
  const size_t length = payload.size() + 2;
  std::string segment{'\xFF', '\xE1', static_cast<char>(length >> 8),
                      static_cast<char>(length & 0xFF)};
  return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
}

void WriteDemoPhotos(const std::string& folder, const std::vector<TDemoPhoto>& photos) {
  uint32_t seed = 1;
  for (const TDemoPhoto& photo : photos) {
    const TBitmap32 picture = PaintDemoPhoto(photo.Width, photo.Height, photo.Signature, seed++);
    const fs::path path = fs::path(folder) / photo.RelativePath;
    const bool png = path.extension() == ".png";
    std::string bytes = png ? EncodePng(picture) : EncodeJpeg(picture);
    if (!png && !photo.DateTime.empty()) bytes = WithCaptureTime(bytes, photo.DateTime);
    WriteFile(path, bytes);
  }
}

}  // namespace nimbra::demo
