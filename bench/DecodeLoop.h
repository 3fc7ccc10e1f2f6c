// The loop of the decoding benchmarks: a picture file decoded from memory with a reader and a
// hint, again and again, reporting the decoded width and the file's size.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "raster/PictureReader.h"
#include "storage/MemoryStream.h"

namespace nimbra::bench {

inline void DecodeRepeatedly(benchmark::State& state, TPictureReaderOpener open,
                             const std::string& bytes, const TDecodeHint& hint) {
  int width = 0;
  for (auto _ : state) {
    TMemoryStream stream(bytes);
    const TBitmap32 picture = open(stream)->Decode(hint);
    width = picture.Width();
    benchmark::DoNotOptimize(picture.Bits());
  }
  state.counters["width"] = width;
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

}  // namespace nimbra::bench
