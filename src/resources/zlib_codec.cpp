// zlib calls for the archive entries.
#include "zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "error.h"

namespace vorn {

uint32_t Crc32(std::span<const uint8_t> bytes) { return CrcCombineAppend(0, bytes); }

uint32_t CrcCombineAppend(uint32_t start, std::span<const uint8_t> bytes) {
  uLong crc = start;
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    uInt chunk = static_cast<uInt>(std::min<size_t>(left, 1u << 30));
    crc = crc32(crc, p, chunk);
    p += chunk;
    left -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

std::vector<uint8_t> DeflateFast(std::span<const uint8_t> bytes) {
  if (bytes.size() > UINT_MAX / 2) throw EVornError("deflate: entry too large to compress");
  uLongf bound = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<uint8_t> out(bound);
  int rc = compress2(out.data(), &bound, bytes.data(), static_cast<uLong>(bytes.size()), 1);
  if (rc != Z_OK) throw EVornError("deflate: zlib error " + std::to_string(rc));
  out.resize(bound);
  return out;
}

void InflateInto(std::span<const uint8_t> in, std::vector<uint8_t>& out, const std::string& what, size_t limit) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EVornError(what + ": zlib cannot start");
  // Deflate rarely gains more than 4:1 on game data; grow by doubling from there.
  size_t cap = std::max<size_t>(std::min(std::max<size_t>(in.size() * 4, 4096), limit), 1);
  out.resize(cap);
  size_t have = 0;
  const uint8_t* next = in.data();
  size_t inLeft = in.size();
  int rc = Z_OK;
  for (;;) {
    if (have == out.size()) {
      if (out.size() >= limit) {
        inflateEnd(&z);
        throw EFormatError(what + ": inflated data exceeds " + std::to_string(limit) + " bytes");
      }
      out.resize(std::min(limit, out.size() * 2));
    }
    uInt inChunk = static_cast<uInt>(std::min<size_t>(inLeft, 1u << 30));
    uInt outChunk = static_cast<uInt>(std::min<size_t>(out.size() - have, 1u << 30));
    z.next_in = const_cast<Bytef*>(next);
    z.avail_in = inChunk;
    z.next_out = out.data() + have;
    z.avail_out = outChunk;
    rc = inflate(&z, Z_NO_FLUSH);
    size_t usedIn = inChunk - z.avail_in;
    size_t madeOut = outChunk - z.avail_out;
    next += usedIn;
    inLeft -= usedIn;
    have += madeOut;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && usedIn == 0 && madeOut == 0 && inLeft == 0) {
      inflateEnd(&z);
      throw EFormatError(what + ": compressed data is truncated");
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      std::string msg = z.msg ? z.msg : ("zlib error " + std::to_string(rc));
      inflateEnd(&z);
      throw EFormatError(what + ": damaged compressed data (" + msg + ")");
    }
    if (rc == Z_OK && inLeft == 0 && z.avail_out != 0) {
      inflateEnd(&z);
      throw EFormatError(what + ": compressed data is truncated");
    }
  }
  inflateEnd(&z);
  out.resize(have);
}

}  // namespace vorn
