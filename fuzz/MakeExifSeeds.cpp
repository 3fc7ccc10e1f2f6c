// Writes the seed corpus of the metadata fuzz target with the tests' JPEG builder and the record's
// own writer, so the seeds can be made again whenever the formats change:
//   MakeExifSeeds fuzz/corpus
// writes fuzz/corpus/ExifFuzzer/* (files of the same name are replaced, others left alone).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "JpegTestData.h"
#include "slideshow/Exif.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

test::TTiffContent Camera(bool bigEndian) {
  test::TTiffContent content;
  content.BigEndian = bigEndian;
  content.DateTime = "2005:01:01 00:00:00";
  content.DateTimeOriginal = "2004:07:15 18:42:09";
  content.UserComment = test::AsciiUserComment("  Am Strand ");
  return content;
}

std::string StoredRecord(const std::string& exif, const std::string& iptc,
                         const std::string& comment) {
  auto container = std::make_unique<TExifContainer>();
  container->ExifSegment = exif;
  container->IptcSegment = iptc;
  container->Comment = comment;
  TExif record;
  record.SetContainer(std::move(container));
  TMemoryStream bytes;
  TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
  if (!record.WriteToStream(stream)) throw std::runtime_error("cannot write a record");
  stream.Release();
  return bytes.ToString();
}

void WriteSeeds(const fs::path& corpus) {
  const fs::path folder = corpus / "ExifFuzzer";
  const std::string intel = test::JpegSegment(test::kApp1, test::ExifPayload(Camera(false)));
  const std::string motorola = test::JpegSegment(test::kApp1, test::ExifPayload(Camera(true)));
  const std::string iptc = test::JpegSegment(test::kApp13, std::string("8BIM\x04\x04\0\0", 8));
  const std::string comment = test::JpegSegment(test::kJpegComment, std::string("Notiz\0", 6));
  const std::string camera =
      test::JpegFile({test::JpegSegment(test::kApp0, "JFIF"), intel, iptc, comment});
  Save(folder, "camera-intel.jpg", camera);
  Save(folder, "camera-motorola.jpg", test::JpegFile({motorola, comment}));
  Save(folder, "cut.jpg", camera.substr(0, camera.size() / 2));
  // Kept segments, as the record holds them: a cyclic directory and a plain one.
  Save(folder, "segment-motorola", motorola.substr(2));
  const std::string cyclic = std::string(
                                 "\x00\x22"
                                 "Exif\0\0II*\0\x08\0\0\0\x01\0",
                                 18) +
                             std::string("\x69\x87\x04\0\x01\0\0\0\x08\0\0\0\0\0\0\0", 16);
  Save(folder, "segment-cyclic", cyclic);
  Save(folder, "record", StoredRecord(intel.substr(2), iptc.substr(2), "Notiz"));
  Save(folder, "record-comment-only", StoredRecord("", "", "nur Text"));
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeExifSeeds CORPUS-FOLDER\n";
    return 2;
  }
  try {
    nimbra::fuzz::WriteSeeds(argv[1]);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
