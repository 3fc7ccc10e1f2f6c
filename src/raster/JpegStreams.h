// What the JPEG reader and writer need around libjpeg: an error manager that raises ECodecError
// instead of ending the process, and a source and a destination over a TStream.
#pragma once

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <cstdint>
#include <vector>

namespace nimbra {

class TStream;

// Raises ECodecError from libjpeg's fatal errors; warnings are ignored so that a photo with a few
// corrupt bytes still shows what can be decoded (the stream source below takes them over). Install
// it on a struct before creating it:
//   cinfo.err = errorManager.Install();
class TJpegErrorManager {
 public:
  jpeg_error_mgr* Install();

 private:
  jpeg_error_mgr manager_{};
};

// Feeds libjpeg from a stream in blocks. Where the stream ends, libjpeg is handed an end marker,
// as its own sources do, so that a photo whose end marker alone is missing still decodes. If
// libjpeg then warns that it lacks data, the photo is truncated and ECodecError is raised: it is
// refused rather than padded with grey.
class TJpegStreamSource {
 public:
  explicit TJpegStreamSource(TStream& stream);
  TJpegStreamSource(const TJpegStreamSource&) = delete;
  TJpegStreamSource& operator=(const TJpegStreamSource&) = delete;
  // Call after installing the error manager: it takes over the warnings.
  void Attach(jpeg_decompress_struct& cinfo);
  // True once the stream has ended and libjpeg was handed the end marker in its place.
  bool DataEnded() const { return dataEnded_; }

 private:
  static void OnMessage(j_common_ptr cinfo, int level);
  static void InitSource(j_decompress_ptr cinfo);
  static boolean FillInputBuffer(j_decompress_ptr cinfo);
  static void SkipInputData(j_decompress_ptr cinfo, long count);
  static void TermSource(j_decompress_ptr cinfo);

  // libjpeg hands the callbacks its pointer to the manager; the manager leads back to us.
  struct TManager : jpeg_source_mgr {
    TJpegStreamSource* owner = nullptr;
  };
  static TJpegStreamSource& Owner(j_decompress_ptr cinfo) {
    return *static_cast<TManager*>(cinfo->src)->owner;
  }

  TManager manager_{};
  TStream& stream_;
  std::vector<JOCTET> buffer_;
  bool dataEnded_ = false;
};

// Collects libjpeg's output in blocks and writes them to a stream; a stream that refuses bytes
// raises EWriteError.
class TJpegStreamDestination {
 public:
  explicit TJpegStreamDestination(TStream& stream);
  TJpegStreamDestination(const TJpegStreamDestination&) = delete;
  TJpegStreamDestination& operator=(const TJpegStreamDestination&) = delete;
  void Attach(jpeg_compress_struct& cinfo);

 private:
  static void InitDestination(j_compress_ptr cinfo);
  static boolean EmptyOutputBuffer(j_compress_ptr cinfo);
  static void TermDestination(j_compress_ptr cinfo);

  struct TManager : jpeg_destination_mgr {
    TJpegStreamDestination* owner = nullptr;
  };
  static TJpegStreamDestination& Owner(j_compress_ptr cinfo) {
    return *static_cast<TManager*>(cinfo->dest)->owner;
  }

  TManager manager_{};
  TStream& stream_;
  std::vector<JOCTET> buffer_;
};

}  // namespace nimbra
