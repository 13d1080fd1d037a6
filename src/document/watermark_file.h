// The watermark picture file on disk: its name, the conversion of a chosen bitmap into it,
// and the text picture written into it.
//
// The file is only ever replaced by a complete new picture: the new bytes are written beside
// it and then renamed over it, and a source that is refused leaves it as it was. (Emptying
// it first and then finding the source bad would lose the printer's current watermark.)
//
// Standard library file access only, so the Watermark page and m450tool share it.
#pragma once

#include "document/watermark_bitmap.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

// The temporary folder (as the system gives it, usually ending in a backslash), one
// backslash, the printer's name and "1.bmp": "C:\Temp\KVL-M4501.bmp".
std::u16string WatermarkPictureFile(std::u16string_view tempFolder, std::u16string_view printerName);

// Converts the bitmap file `source` into the picture file `destination`: 1 on success, 2 when
// the picture file can't be written, 0 for every other failure (the source can't be read or
// is refused). Only a result of 1 changes the destination. `why`, when given, says which failure;
// `written`, when given, receives the picture file's bytes on success (the page previews them
// without reading any file through the system's image loader).
int convertWatermarkBitmap(const std::filesystem::path& source,
                           const std::filesystem::path& destination,
                           WatermarkError* why = nullptr,
                           std::vector<uint8_t>* written = nullptr);

// Writes the text watermark's picture (TextPictureFromCanvas) as the picture file.
bool WriteTextPictureFile(const std::filesystem::path& destination, std::span<const uint8_t> canvas);

}  // namespace m450
