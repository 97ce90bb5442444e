// Reading and writing pictures into TDIBSurface: Windows bitmaps, TGA, icons and cursors of
// our own, PNG (libpng), JPEG (libjpeg) and GIF (giflib). Every reader is bounded: bad data
// raises EFormatError naming the format and the field.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphics/dib_surface.h"
#include "resources/binary_reader.h"
#include "resources/stream.h"

namespace vorn {

// Chooses one image of a multi-image icon file from its list lines ("%.3d : %d x %d  %d bpp");
// returns the index, or a negative value to cancel (the load then fails).
using IconChooser = std::function<int(const std::string& title, const std::vector<std::string>& lines)>;

struct PictureLoadOptions {
  // A 32-bit picture from the general loader gives its byte 3 to a new alpha plane and
  // becomes 24 bits.
  bool keepAlpha = false;
  // Without a chooser the first image of an icon file is taken.
  IconChooser chooseIcon;
};

// Loads by the name's extension: ".tga" TGA, ".ico"/".cur" icons, anything else by signature
// (PNG, GIF, JPEG, BMP). Returns the picture's transparent colour as a pixel value, or -1.
int64_t LoadPicture(TDIBSurface& surface, Stream& stream, const std::string& name,
                    const PictureLoadOptions& options = {});
// Writes TGA (run-length) or icon files by extension, Windows bitmaps otherwise.
void SavePicture(const TDIBSurface& surface, Stream& stream, const std::string& name);

void ReadBmp(TDIBSurface& surface, Stream& stream);
void WriteBmp(const TDIBSurface& surface, Stream& stream);
// Returns the key colour of the TGA 2.0 extension area as a pixel value, or -1.
int64_t ReadTga(TDIBSurface& surface, Stream& stream);
void WriteTga(const TDIBSurface& surface, Stream& stream);
void ReadIcon(TDIBSurface& surface, Stream& stream, const IconChooser& choose);
// One image; the alpha plane (below 128 transparent) becomes the AND mask.
void WriteIcon(const TDIBSurface& surface, Stream& stream, bool cursor = false);
void ReadPng(TDIBSurface& surface, Stream& stream);
void ReadJpeg(TDIBSurface& surface, Stream& stream);
// Returns the transparent palette index of the first frame, or -1.
int64_t ReadGif(TDIBSurface& surface, Stream& stream);

// Shared by the bitmap and icon readers: a DIB header, colour table and pixels starting at
// the reader's position. `pixelOffset` < 0 means the pixels follow the colour table. For icons
// the header height counts the AND mask too; it is returned through andMask (1 = transparent).
void ReadDib(TDIBSurface& surface, BinaryReader& in, int64_t pixelOffset, bool iconHeight,
             std::vector<uint8_t>* andMask);

// Raises EFormatError unless width x height at `bits` can be a surface.
void CheckPictureSize(const BinaryReader& in, int64_t width, int64_t height, int bits);
// The whole remaining stream in memory, at most `limit` bytes.
std::vector<uint8_t> ReadAllBytes(Stream& stream, const char* context, int64_t limit = int64_t{1} << 28);

}  // namespace vorn
