// Logo conversion: a bitmap the user picked becomes the working copy the Download page previews
// and downloads — a 1-bit black-and-white bitmap made by one of four halftone methods, or an
// 8-bit gray bitmap — after the logo's contrast and brightness are applied.
//
// The arithmetic is the printer driver's own and is kept bit for bit: the tone curves run in
// single precision, every other division is an integer division, and the halftone methods keep
// their matrices, comparisons and tie-breaks. Conversions take the source file's bytes and return
// the working copy's bytes; the caller reads and writes the files (WorkingCopyPath names it).
#pragma once

#include "core/bmp_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

// The page's halftone radios, in order.
enum class HalftoneMethod : uint8_t { None = 0, DitherM3 = 1, DitherM4 = 2, ErrorDiffuse = 3 };

inline constexpr int kMinLogoAdjustment = -100;
inline constexpr int kMaxLogoAdjustment = 100;

// One logo's conversion settings, as the page keeps them per list position.
struct LogoSettings {
    int method = 0;      // a HalftoneMethod value
    int contrast = 0;    // -100 … 100
    int brightness = 0;  // -100 … 100
    bool operator==(const LogoSettings&) const = default;
};

// Each value clamped to its range.
LogoSettings ClampLogoSettings(const LogoSettings& settings);

// The contrast curve: levels are stretched away from (contrast > 0) or squeezed towards
// (contrast < 0) the middle, then shifted by the brightness; the result is clamped to 0 … 255.
// Contrast and brightness are clamped to -100 … 100 first.
uint8_t ToneCurve(uint8_t level, int contrast, int brightness);

// The contrast of method 2: the level is moved away from (or towards) `mean` by a factor
// 1 + contrast / 10 (contrast ≥ 0) or 1 - √(-contrast) / 10, then shifted by the brightness.
uint8_t MeanContrast(uint8_t level, int contrast, int brightness, uint8_t mean);

using ToneTable = std::array<uint8_t, 256>;
ToneTable ToneCurveTable(int contrast, int brightness);
ToneTable MeanContrastTable(int contrast, int brightness, uint8_t mean);

// The error rows of the diffusion hold this many columns; wider sources are not diffused.
inline constexpr uint32_t kErrorRowColumns = 2000;

// What the driver's conversions return, under names; the values are the driver's own.
// ConvertToMono gives Failed for anything but Converted; ConvertToGray gives NotConvertible for
// a source that is not a "BM" of its depths or is compressed (or has an unreadable size) and
// Failed for a file too short for its rows or no memory.
enum class ConversionResult : int8_t { Converted = 1, Failed = -1, NotConvertible = -2 };

// A conversion's outcome; `problem` says why it was not converted.
struct LogoConversion {
    ConversionResult result = ConversionResult::Failed;
    BitmapProblem problem = BitmapProblem::None;
    std::vector<uint8_t> workingCopy;  // the whole working copy file when Converted
};

// A 24- or 8-bit source to the mono working copy: 1 bit per pixel, palette black then white,
// bit set = white, rows in the source's order, unused bits clear.
LogoConversion ConvertToMono(std::span<const uint8_t> source, const LogoSettings& settings);

// A 24-, 8- or 1-bit source to the gray working copy: one gray level per pixel, palette
// (i, i, i, 0), padding bytes 0. The method is not used.
LogoConversion ConvertToGray(std::span<const uint8_t> source, int contrast, int brightness);

// Where the pixel rows of the working copies start.
inline constexpr size_t kMonoPixelOffset = 62;
inline constexpr size_t kGrayPixelOffset = 1078;

// Paths the conversions take, in characters with the terminator: longer ones are refused.
inline constexpr size_t kLogoPathCapacity = 300;

// The working copy's path: the source path less its extension (from the last dot of the file
// name on) followed by "Temp.bmp" — shop.bmp gives shopTemp.bmp, C:\pics\ab gives
// C:\pics\abTemp.bmp. Nullopt when the result would not fit `capacity` characters with its
// terminator.
std::optional<std::string> WorkingCopyPath(std::string_view source, size_t capacity = kLogoPathCapacity);
std::optional<std::u16string> WorkingCopyPath(std::u16string_view source, size_t capacity = kLogoPathCapacity);

// The Download page marks every working copy it writes in the two reserved words of the file
// header, which readers of bitmaps ignore: bytes 6 to 9 read "M450". A file of a working copy's
// name that bears the mark was left by an earlier page (a host that died before the page could
// delete it) and is replaced; any other file of that name is the user's and is never touched.
// The conversions themselves leave the words 0.
inline constexpr std::array<uint8_t, 4> kWorkingCopyMark = {'M', '4', '5', '0'};
inline constexpr size_t kWorkingCopyMarkAt = 6;

// Marks a working copy's bytes; bytes shorter than a file header are left alone.
void MarkWorkingCopy(std::span<uint8_t> file);

// True when the bytes start with "BM" and the mark: `head` needs the first 10 bytes only.
bool IsMarkedWorkingCopy(std::span<const uint8_t> head);

}  // namespace m450
