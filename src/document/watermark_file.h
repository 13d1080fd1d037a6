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

// What a conversion came to. The numbers are those m450tool prints.
enum class WatermarkConversion {
    Refused = 0,     // the source can't be read or is refused
    Converted = 1,   // the picture file holds the new picture
    NotWritten = 2,  // the picture file can't be written
};
WatermarkConversion WatermarkConversionOf(WatermarkError error);

// Converts the bitmap file `source` into the picture file `destination`. Only Converted changes
// the destination. `why`, when given, says which failure;
// `written`, when given, receives the picture file's bytes on success (the page previews them
// without reading any file through the system's image loader).
WatermarkConversion convertWatermarkBitmap(const std::filesystem::path& source,
                                           const std::filesystem::path& destination,
                                           WatermarkError* why = nullptr,
                                           std::vector<uint8_t>* written = nullptr);

// Writes the text watermark's picture (TextPictureFromCanvas) as the picture file.
bool WriteTextPictureFile(const std::filesystem::path& destination, std::span<const uint8_t> canvas);

}  // namespace m450
