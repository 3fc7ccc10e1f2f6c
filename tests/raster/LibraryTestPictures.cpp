#include "LibraryTestPictures.h"

// jpeglib.h needs FILE and size_t declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <gif_lib.h>
#include <openjpeg.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace nimbra::test {

namespace {

// A growable file in memory for the encoders that write through callbacks.
struct TMemoryFile {
  std::string bytes;
  size_t position = 0;

  void Write(const void* data, size_t count) {
    if (bytes.size() < position + count) bytes.resize(position + count);
    std::memcpy(bytes.data() + position, data, count);
    position += count;
  }
  size_t Read(void* data, size_t count) {
    const size_t n = position < bytes.size() ? std::min(count, bytes.size() - position) : 0;
    std::memcpy(data, bytes.data() + position, n);
    position += n;
    return n;
  }
};

void Require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test picture: ") + what);
}

// ---- GIF ----

int WriteGif(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<TMemoryFile*>(gif->UserData)->Write(data, static_cast<size_t>(length));
  return length;
}

ColorMapObject* MakeColourMap(const std::vector<TColor32>& palette) {
  int size = 2;
  while (size < static_cast<int>(palette.size())) size *= 2;
  std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < palette.size(); ++i) {
    colours[i] = {RedComponent(palette[i]), GreenComponent(palette[i]), BlueComponent(palette[i])};
  }
  return GifMakeMapObject(size, colours.data());
}

}  // namespace

std::string GifBytes(const TGifPicture& picture) {
  TMemoryFile file;
  int error = 0;
  GifFileType* gif = EGifOpen(&file, WriteGif, &error);
  Require(gif != nullptr, "EGifOpen");
  EGifSetGifVersion(gif, true);
  ColorMapObject* map = MakeColourMap(picture.palette);
  Require(EGifPutScreenDesc(gif, picture.screenWidth, picture.screenHeight, 8, 0,
                            picture.localPalette ? nullptr : map) == GIF_OK,
          "screen");
  if (picture.transparent >= 0) {
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, picture.transparent};
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    Require(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                GIF_OK,
            "control block");
  }
  Require(EGifPutImageDesc(gif, picture.left, picture.top, picture.width, picture.height,
                           picture.interlaced, picture.localPalette ? map : nullptr) == GIF_OK,
          "frame");
  std::vector<int> order;
  if (picture.interlaced) {
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
      for (int y = start; y < picture.height; y += step) order.push_back(y);
    }
  } else {
    for (int y = 0; y < picture.height; ++y) order.push_back(y);
  }
  for (const int y : order) {
    std::vector<GifPixelType> line(picture.indices.begin() + y * picture.width,
                                   picture.indices.begin() + (y + 1) * picture.width);
    Require(EGifPutLine(gif, line.data(), picture.width) == GIF_OK, "line");
  }
  Require(EGifCloseFile(gif, &error) == GIF_OK, "close");
  GifFreeMapObject(map);
  return file.bytes;
}

// ---- TIFF ----

namespace {

TMemoryFile& FileOf(thandle_t handle) {
  return *static_cast<TMemoryFile*>(handle);
}
tmsize_t TiffRead(thandle_t h, void* data, tmsize_t n) {
  return static_cast<tmsize_t>(FileOf(h).Read(data, static_cast<size_t>(n)));
}
tmsize_t TiffWrite(thandle_t h, void* data, tmsize_t n) {
  FileOf(h).Write(data, static_cast<size_t>(n));
  return n;
}
toff_t TiffSeek(thandle_t h, toff_t offset, int whence) {
  TMemoryFile& file = FileOf(h);
  const auto signedOffset = static_cast<int64_t>(offset);
  int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<int64_t>(file.position);
  if (whence == SEEK_END) base = static_cast<int64_t>(file.bytes.size());
  file.position = static_cast<size_t>(base + signedOffset);
  return file.position;
}
int TiffClose(thandle_t) {
  return 0;
}
toff_t TiffSize(thandle_t h) {
  return FileOf(h).bytes.size();
}
int TiffMap(thandle_t, void**, toff_t*) {
  return 0;
}
void TiffUnmap(thandle_t, void*, toff_t) {}

}  // namespace

std::string TiffBytes(const TBitmap32& picture, const TTiffOptions& options) {
  TMemoryFile file;
  TIFF* tif = TIFFClientOpen("test", "w", &file, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize,
                             TiffMap, TiffUnmap);
  Require(tif != nullptr, "TIFFClientOpen");
  const int samples = options.alpha ? 4 : 3;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(picture.Width()));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(picture.Height()));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, options.compression);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, options.orientation);
  if (options.alpha) {
    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  // The samples of pixel (x, y), or zeros outside the picture (tiles reach past its edges).
  const auto put = [&](uint8_t* p, int x, int y) {
    const bool inside = x < picture.Width() && y < picture.Height();
    const TColor32 c = inside ? picture.Pixel(x, y) : 0;
    p[0] = RedComponent(c);
    p[1] = GreenComponent(c);
    p[2] = BlueComponent(c);
    if (options.alpha) p[3] = AlphaComponent(c);
  };
  const int tile = options.tileSize;
  if (tile > 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, static_cast<uint32_t>(tile));
    TIFFSetField(tif, TIFFTAG_TILELENGTH, static_cast<uint32_t>(tile));
    std::vector<uint8_t> pixels(static_cast<size_t>(tile * tile * samples));
    for (int top = 0; top < picture.Height(); top += tile) {
      for (int left = 0; left < picture.Width(); left += tile) {
        for (int i = 0; i < tile * tile; ++i) {
          put(pixels.data() + i * samples, left + i % tile, top + i / tile);
        }
        Require(TIFFWriteTile(tif, pixels.data(), static_cast<uint32_t>(left),
                              static_cast<uint32_t>(top), 0, 0) > 0,
                "tile");
      }
    }
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(options.rowsPerStrip));
    std::vector<uint8_t> row(static_cast<size_t>(picture.Width() * samples));
    for (int y = 0; y < picture.Height(); ++y) {
      for (int x = 0; x < picture.Width(); ++x) put(row.data() + x * samples, x, y);
      Require(TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) == 1, "scan line");
    }
  }
  TIFFClose(tif);
  return file.bytes;
}

// ---- JPEG 2000 ----

namespace {

OPJ_SIZE_T OpjWrite(void* data, OPJ_SIZE_T n, void* user) {
  static_cast<TMemoryFile*>(user)->Write(data, n);
  return n;
}
OPJ_OFF_T OpjSkip(OPJ_OFF_T n, void* user) {
  auto* file = static_cast<TMemoryFile*>(user);
  file->position = static_cast<size_t>(static_cast<int64_t>(file->position) + n);
  if (file->bytes.size() < file->position) file->bytes.resize(file->position);
  return n;
}
OPJ_BOOL OpjSeek(OPJ_OFF_T position, void* user) {
  static_cast<TMemoryFile*>(user)->position = static_cast<size_t>(position);
  return OPJ_TRUE;
}

}  // namespace

std::string Jpeg2000Bytes(const TBitmap32& picture, bool jp2, bool withAlpha) {
  const auto w = static_cast<OPJ_UINT32>(picture.Width());
  const auto h = static_cast<OPJ_UINT32>(picture.Height());
  const OPJ_UINT32 count = withAlpha ? 4 : 3;
  opj_image_cmptparm_t parameters[4] = {};
  for (opj_image_cmptparm_t& p : parameters) {
    p.dx = 1;
    p.dy = 1;
    p.w = w;
    p.h = h;
    p.prec = 8;
  }
  opj_image_t* image = opj_image_create(count, parameters, OPJ_CLRSPC_SRGB);
  Require(image != nullptr, "opj_image_create");
  image->x1 = w;
  image->y1 = h;
  if (withAlpha) image->comps[3].alpha = 1;
  for (OPJ_UINT32 y = 0; y < h; ++y) {
    for (OPJ_UINT32 x = 0; x < w; ++x) {
      const TColor32 c = picture.Pixel(static_cast<int>(x), static_cast<int>(y));
      const uint8_t values[] = {RedComponent(c), GreenComponent(c), BlueComponent(c),
                                AlphaComponent(c)};
      for (OPJ_UINT32 i = 0; i < count; ++i) image->comps[i].data[y * w + x] = values[i];
    }
  }
  opj_cparameters_t settings;
  opj_set_default_encoder_parameters(&settings);
  settings.tcp_numlayers = 1;
  settings.tcp_rates[0] = 0;  // lossless
  settings.cp_disto_alloc = 1;
  while (settings.numresolution > 1 && (1u << (settings.numresolution - 1)) > std::min(w, h)) {
    --settings.numresolution;
  }
  opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
  Require(opj_setup_encoder(codec, &settings, image), "opj_setup_encoder");
  TMemoryFile file;
  opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_FALSE);
  opj_stream_set_user_data(stream, &file, nullptr);
  opj_stream_set_write_function(stream, OpjWrite);
  opj_stream_set_skip_function(stream, OpjSkip);
  opj_stream_set_seek_function(stream, OpjSeek);
  Require(opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
              opj_end_compress(codec, stream),
          "opj_encode");
  opj_stream_destroy(stream);
  opj_destroy_codec(codec);
  opj_image_destroy(image);
  return file.bytes;
}

// ---- PNG ----

namespace {

void PngWrite(png_structp png, png_bytep data, size_t length) {
  static_cast<TMemoryFile*>(png_get_io_ptr(png))->Write(data, length);
}
void PngFlush(png_structp) {}

}  // namespace

std::string PngBytes(const TPngPicture& picture) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  TMemoryFile file;
  png_set_write_fn(png, &file, PngWrite, PngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), picture.bitDepth, picture.colourType,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!picture.palette.empty()) {
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    for (const TColor32 c : picture.palette) {
      colours.push_back({RedComponent(c), GreenComponent(c), BlueComponent(c)});
      alphas.push_back(AlphaComponent(c));
    }
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
  }
  if (picture.withTransparentKey) {
    png_color_16 key{};
    key.red = picture.keyRed;
    key.green = picture.keyGreen;
    key.blue = picture.keyBlue;
    key.gray = picture.keyRed;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  std::vector<std::string> rows = picture.rows;
  std::vector<png_bytep> pointers;
  for (std::string& row : rows) pointers.push_back(reinterpret_cast<png_bytep>(row.data()));
  png_set_rows(png, info, pointers.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return file.bytes;
}

// ---- JPEG ----

std::string JpegBytes(const TJpegPicture& picture) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(picture.width);
  cinfo.image_height = static_cast<JDIMENSION>(picture.height);
  cinfo.input_components = picture.components;
  cinfo.in_color_space = picture.components == 1   ? JCS_GRAYSCALE
                         : picture.components == 3 ? JCS_RGB
                                                   : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  if (picture.components == 4)
    jpeg_set_colorspace(&cinfo, picture.storeAsYcck ? JCS_YCCK : JCS_CMYK);
  jpeg_set_quality(&cinfo, picture.quality, TRUE);
  for (int i = 0; i < cinfo.num_components; ++i) {
    cinfo.comp_info[i].h_samp_factor = 1;
    cinfo.comp_info[i].v_samp_factor = 1;
  }
  if (picture.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t stride = static_cast<size_t>(picture.width * picture.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row[1] = {reinterpret_cast<JSAMPROW>(
        const_cast<char*>(picture.samples.data() + cinfo.next_scanline * stride))};
    jpeg_write_scanlines(&cinfo, row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

}  // namespace nimbra::test
