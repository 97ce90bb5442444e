// JPEG through libjpeg: decoded to 24-bit surfaces, encoded from a surface of any depth. libjpeg reports errors by a long jump;
// the decoding function therefore holds no object with a destructor across it.
#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "graphics/picture_io.h"
#include "resources/error.h"

namespace vorn {

namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
  JpegError* err = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr, int) {}

// Returns nullptr on success or the error text. `out` is sized through the callback so that
// no allocation outlives a long jump untracked.
const char* Decode(const uint8_t* data, size_t size, TDIBSurface* out, JpegError* err, const char** field) {
  jpeg_decompress_struct cinfo;
  cinfo.err = jpeg_std_error(&err->mgr);
  err->mgr.error_exit = OnJpegError;
  err->mgr.emit_message = OnJpegMessage;
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(&cinfo);
    return err->message;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  *field = "header";
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSurfaceDimension ||
      cinfo.image_height > kMaxSurfaceDimension || DibRowBytes(cinfo.image_width, 24) * cinfo.image_height > kMaxSurfaceBytes) {
    jpeg_destroy_decompress(&cinfo);
    *field = "size";
    return "picture size out of range";
  }
  // Every 8 x 8 block of a component costs at least one bit of Huffman-coded data, so the
  // file size bounds the pixels a real picture can have; a tiny file cannot demand a huge
  // surface (a truncated picture, shown in part, stays far inside this bound). Arithmetic
  // coding can go below a bit per block and is left to the size limit alone.
  if (!cinfo.arith_code && uint64_t{cinfo.image_width} * cinfo.image_height > (uint64_t{size} + 1) * 8 * 64) {
    jpeg_destroy_decompress(&cinfo);
    *field = "size";
    return "more pixels than the file's data can hold";
  }
  cinfo.out_color_space = JCS_EXT_BGR;
  *field = "pixels";
  jpeg_start_decompress(&cinfo);
  out->SetSize(static_cast<int32_t>(cinfo.output_width), static_cast<int32_t>(cinfo.output_height), 24);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->Row(static_cast<int32_t>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return nullptr;
}

// Compresses height rows of BGR bytes (rowBytes apart) into a libjpeg-owned buffer that the
// caller frees. Returns nullptr on success or the error text.
const char* Encode(const uint8_t* bgr, size_t rowBytes, int32_t width, int32_t height, int quality, JpegError* err,
                   unsigned char** mem, unsigned long* size) {
  jpeg_compress_struct cinfo;
  cinfo.err = jpeg_std_error(&err->mgr);
  err->mgr.error_exit = OnJpegError;
  err->mgr.emit_message = OnJpegMessage;
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(&cinfo);
    return err->message;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, mem, size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(bgr + cinfo.next_scanline * rowBytes);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return nullptr;
}

}  // namespace

void TDIBSurface::SaveAsJpeg(Stream& stream, int quality) const {
  if (IsEmpty()) throw EVornError("JPEG: cannot save an empty picture");
  // The picture in 8-8-8 colour first (palette and 15/16-bit pixels widened by SplitPixel).
  size_t rowBytes = static_cast<size_t>(width_) * 3;
  std::vector<uint8_t> bgr(rowBytes * static_cast<size_t>(height_));
  for (int32_t y = 0; y < height_; ++y) {
    uint8_t* out = bgr.data() + static_cast<size_t>(y) * rowBytes;
    for (int32_t x = 0; x < width_; ++x, out += 3) SplitPixel(GetPixel(x, y), out[2], out[1], out[0]);
  }
  JpegError err{};
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  const char* message = Encode(bgr.data(), rowBytes, width_, height_, std::clamp(quality, 1, 100), &err, &mem, &size);
  std::unique_ptr<unsigned char, decltype(&std::free)> owned(mem, &std::free);
  if (message) throw EVornError(std::string("JPEG: ") + message);
  stream.Write(mem, size);
}

void ReadJpeg(TDIBSurface& s, Stream& stream) {
  std::vector<uint8_t> data = ReadAllBytes(stream, "JPEG");
  BinaryReader check(stream, "JPEG");
  if (data.size() < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF) check.Fail("signature", "not a JPEG file");
  JpegError err{};
  const char* field = "header";
  TDIBSurface out;
  if (const char* message = Decode(data.data(), data.size(), &out, &err, &field)) check.Fail(field, message);
  s.FreeAlpha();
  s = std::move(out);
}

}  // namespace vorn
