// JPEG through libjpeg: decoded to 24-bit surfaces. libjpeg reports errors by a long jump;
// the decoding function therefore holds no object with a destructor across it.
#include <csetjmp>
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

}  // namespace

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
