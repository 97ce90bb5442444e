// Stream helpers. Copies from in-memory sources write straight from their buffer; others go
// through one buffer of at most 10 MiB, smaller when memory is short.
#include "stream_utils.h"

#include <algorithm>
#include <new>
#include <vector>

#include "binary_reader.h"
#include "error.h"

namespace vorn {

void WriteCountedString(Stream& s, const std::string& v) { BinaryWriter(s).CountedString(v); }
std::string ReadCountedString(Stream& s) { return BinaryReader(s, "stream").CountedString("counted string"); }
void WriteInt32(Stream& s, int32_t v) { BinaryWriter(s).I32(v); }
int32_t ReadInt32(Stream& s) { return BinaryReader(s, "stream").I32("int32"); }
void WriteByte(Stream& s, uint8_t v) { BinaryWriter(s).U8(v); }
uint8_t ReadByte(Stream& s) { return BinaryReader(s, "stream").U8("byte"); }

namespace {

constexpr size_t kMiB = 1024 * 1024;

[[noreturn]] void SourceEnded(int64_t done, int64_t count) {
  throw EFormatError("copy: the source ended after " + std::to_string(done) + " of " + std::to_string(count) +
                     " bytes");
}

}  // namespace

int64_t CopyStream(Stream& destination, Stream& source, int64_t count) {
  if (count < 0) throw EVornError("copy: negative byte count " + std::to_string(count));
  if (count == 0) return 0;
  if (auto* view = dynamic_cast<MemoryView*>(&source)) {
    auto rest = view->Rest();
    if (static_cast<uint64_t>(count) > rest.size()) SourceEnded(static_cast<int64_t>(rest.size()), count);
    destination.Write(rest.data(), static_cast<size_t>(count));
    view->Seek(view->Position() + count);
    return count;
  }
  if (auto* mem = dynamic_cast<MemoryStream*>(&source)) {
    int64_t left = mem->Remaining();
    if (count > left) SourceEnded(std::max<int64_t>(left, 0), count);
    destination.Write(mem->Data().data() + mem->Position(), static_cast<size_t>(count));
    mem->Seek(mem->Position() + count);
    return count;
  }
  size_t size = static_cast<size_t>(std::min<int64_t>(count, 10 * kMiB));
  std::vector<uint8_t> buffer;
  for (;;) {
    try {
      buffer.resize(size);
      break;
    } catch (const std::bad_alloc&) {
      if (size <= kMiB) throw;  // nothing smaller left to try
      size -= kMiB;
    }
  }
  int64_t done = 0;
  while (done < count) {
    size_t chunk = static_cast<size_t>(std::min<int64_t>(count - done, static_cast<int64_t>(size)));
    size_t got = source.Read(buffer.data(), chunk);
    if (got == 0) SourceEnded(done, count);
    destination.Write(buffer.data(), got);
    done += static_cast<int64_t>(got);
  }
  return count;
}

int64_t CopyWholeStream(Stream& destination, Stream& source) {
  source.Seek(0);
  return CopyStream(destination, source, source.Size());
}

}  // namespace vorn
