#include "raster/JpegStreams.h"

#include <algorithm>
#include <string>

#include "raster/CodecError.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

constexpr size_t kBlockSize = 64 * 1024;

[[noreturn]] void RaiseJpegError(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, message);
  throw ECodecError(std::string("JPEG: ") + message);
}

void IgnoreMessage(j_common_ptr /*cinfo*/, int /*level*/) {}
void IgnoreOutput(j_common_ptr /*cinfo*/) {}

}  // namespace

// ---- TJpegErrorManager ----

jpeg_error_mgr* TJpegErrorManager::Install() {
  jpeg_std_error(&manager_);
  // libjpeg calls error_exit and expects it not to return; an exception leaves the library the
  // way its documented longjmp would, and the struct is destroyed by its owner afterwards.
  manager_.error_exit = RaiseJpegError;
  manager_.emit_message = IgnoreMessage;
  manager_.output_message = IgnoreOutput;
  return &manager_;
}

// ---- TJpegStreamSource ----

TJpegStreamSource::TJpegStreamSource(TStream& stream) : stream_(stream), buffer_(kBlockSize) {
  manager_.owner = this;
  manager_.init_source = InitSource;
  manager_.fill_input_buffer = FillInputBuffer;
  manager_.skip_input_data = SkipInputData;
  manager_.resync_to_restart = jpeg_resync_to_restart;
  manager_.term_source = TermSource;
}

void TJpegStreamSource::Attach(jpeg_decompress_struct& cinfo) {
  cinfo.src = &manager_;
  cinfo.err->emit_message = OnMessage;
}

void TJpegStreamSource::OnMessage(j_common_ptr cinfo, int level) {
  // Warnings (level -1) after the data ran out mean libjpeg wanted more of it.
  if (level < 0 && cinfo->is_decompressor &&
      Owner(reinterpret_cast<j_decompress_ptr>(cinfo)).dataEnded_) {
    throw ECodecError("JPEG: the data ends early");
  }
}

void TJpegStreamSource::InitSource(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = nullptr;
  cinfo->src->bytes_in_buffer = 0;
}

boolean TJpegStreamSource::FillInputBuffer(j_decompress_ptr cinfo) {
  TJpegStreamSource* self = &Owner(cinfo);
  const int64_t n =
      self->stream_.Read(self->buffer_.data(), static_cast<int64_t>(self->buffer_.size()));
  if (n > 0) {
    self->manager_.next_input_byte = self->buffer_.data();
    self->manager_.bytes_in_buffer = static_cast<size_t>(n);
    return TRUE;
  }
  // libjpeg asking again after the end marker it was given can only be a damaged file.
  if (self->dataEnded_) throw ECodecError("JPEG: the data ends early");
  self->dataEnded_ = true;
  static constexpr JOCTET kEndMarker[] = {0xFF, JPEG_EOI};
  self->manager_.next_input_byte = kEndMarker;
  self->manager_.bytes_in_buffer = sizeof kEndMarker;
  return TRUE;
}

void TJpegStreamSource::SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  TJpegStreamSource* self = &Owner(cinfo);
  const auto wanted = static_cast<size_t>(count);
  if (wanted <= self->manager_.bytes_in_buffer) {
    self->manager_.next_input_byte += wanted;
    self->manager_.bytes_in_buffer -= wanted;
    return;
  }
  const auto beyond = static_cast<int64_t>(wanted - self->manager_.bytes_in_buffer);
  self->manager_.bytes_in_buffer = 0;
  // A skip past the end leaves nothing to read: the next fill hands over the end marker.
  self->stream_.Seek(std::min(beyond, self->stream_.Remaining()), SeekOrigin::Current);
}

void TJpegStreamSource::TermSource(j_decompress_ptr /*cinfo*/) {}

// ---- TJpegStreamDestination ----

TJpegStreamDestination::TJpegStreamDestination(TStream& stream)
    : stream_(stream), buffer_(kBlockSize) {
  manager_.owner = this;
  manager_.init_destination = InitDestination;
  manager_.empty_output_buffer = EmptyOutputBuffer;
  manager_.term_destination = TermDestination;
}

void TJpegStreamDestination::Attach(jpeg_compress_struct& cinfo) {
  cinfo.dest = &manager_;
}

void TJpegStreamDestination::InitDestination(j_compress_ptr cinfo) {
  TJpegStreamDestination* self = &Owner(cinfo);
  self->manager_.next_output_byte = self->buffer_.data();
  self->manager_.free_in_buffer = self->buffer_.size();
}

boolean TJpegStreamDestination::EmptyOutputBuffer(j_compress_ptr cinfo) {
  // libjpeg calls this with the whole buffer full, whatever free_in_buffer says.
  TJpegStreamDestination* self = &Owner(cinfo);
  self->stream_.WriteBuffer(self->buffer_.data(), static_cast<int64_t>(self->buffer_.size()));
  InitDestination(cinfo);
  return TRUE;
}

void TJpegStreamDestination::TermDestination(j_compress_ptr cinfo) {
  TJpegStreamDestination* self = &Owner(cinfo);
  const size_t used = self->buffer_.size() - self->manager_.free_in_buffer;
  self->stream_.WriteBuffer(self->buffer_.data(), static_cast<int64_t>(used));
}

}  // namespace nimbra
