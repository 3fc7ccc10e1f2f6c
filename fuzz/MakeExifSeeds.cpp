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

// A camera's segment: text, short, long, rational and undefined values in all three directories,
// a Windows title and a value behind the directories.
std::string FullCamera(bool bigEndian) {
  using test::Words;
  test::TTiffDirectories tags;
  tags.BigEndian = bigEndian;
  tags.First = {{0x010F, 2, 6, std::string("Nikon\0", 6), {}},
                {0x0110, 2, 12, std::string("COOLPIX P7 \0", 12), {}},
                {0x0112, 3, 1, Words(bigEndian, 2, {1}), {}},
                {0x011A, 5, 1, Words(bigEndian, 4, {300, 1}), {}},
                {0x0132, 2, 20, std::string("2021:07:20 09:00:00\0", 20), {}},
                {0x9C9B, 1, 8, std::string("S\0e\0e\0\0\0", 8), {}}};
  tags.Exif = {{0x829A, 5, 1, Words(bigEndian, 4, {1, 250}), {}},
               {0x829D, 5, 1, Words(bigEndian, 4, {28, 10}), {}},
               {0x8827, 3, 1, Words(bigEndian, 2, {200}), {}},
               {0x9000, 7, 4, "0230", {}},
               {0x9003, 2, 20, std::string("2021:07:14 15:30:05\0", 20), {}},
               {0x9101, 7, 4, std::string("\1\2\3\0", 4), {}},
               {0x9204, 10, 1, Words(bigEndian, 4, {0xFFFFFFFF, 3}), {}},
               {0x9286, 7, 16, test::AsciiUserComment("Am See  "), {}}};
  tags.Interoperability = {{0x0001, 2, 4, std::string("R98\0", 4), {}}, {0x0002, 7, 4, "0100", {}}};
  return test::ExifPayload(tags);
}

// An editor's IPTC segment: a resource before the datasets, UTF-8 declared, a keyword twice and
// a caption with an extended length.
std::string EditorIptc() {
  using test::IptcDataset;
  const std::string datasets =
      IptcDataset(1, 90, "\x1B%G") + IptcDataset(2, 0, std::string("\0\4", 2)) +
      IptcDataset(2, 5, "Sommer") + IptcDataset(2, 25, "See") + IptcDataset(2, 25, "Berge") +
      IptcDataset(2, 90, "M\xC3\xBCnchen") + IptcDataset(2, 101, "Deutschland") +
      std::string("\x1C\x02\x78\x80\x02\x00\x0A", 7) + "Am Ufer..." + IptcDataset(2, 200, "?");
  return test::IptcPayload({test::PhotoshopResource(0x03ED, "", std::string(16, '\0')),
                            test::PhotoshopResource(test::kIptcResource, "", datasets)});
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
  // Full segments as a camera and an editor write them, alone and in a file.
  for (const bool bigEndian : {false, true}) {
    Save(folder, bigEndian ? "segment-full-motorola" : "segment-full-intel",
         test::KeptSegment(FullCamera(bigEndian)));
  }
  Save(folder, "segment-iptc", test::KeptSegment(EditorIptc()));
  Save(folder, "camera-full.jpg",
       test::JpegFile({test::JpegSegment(test::kApp1, FullCamera(false)),
                       test::JpegSegment(test::kApp13, EditorIptc())}));
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
