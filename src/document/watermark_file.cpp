#include "document/watermark_file.h"

#include "core/file_replace.h"

#include <exception>
#include <fstream>
#include <new>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace m450 {
namespace {

// A source larger than the largest picture plus its headers and a full colour table is not
// one the conversion would accept.
constexpr uint64_t kMaxSourceBytes = kMaxWatermarkPixelBytes + 1078;

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<uint8_t> bytes;
    char chunk[64 * 1024];
    while (file) {
        file.read(chunk, sizeof(chunk));
        const size_t got = static_cast<size_t>(file.gcount());
        if (got > kMaxSourceBytes - bytes.size())
            return std::nullopt;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (file.bad())
        return std::nullopt;
    return bytes;
}

// A source too large to be read whole: its headers alone tell a picture above the size
// limits (which the user is told is too big) from any other file (refused).
WatermarkError OversizedSourceError(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> headers(kBmpHeadersSize);
    if (!file.read(reinterpret_cast<char*>(headers.data()), static_cast<std::streamsize>(headers.size())))
        return WatermarkError::Unreadable;
    const WatermarkError error = ConvertWatermarkPicture(headers).error;
    return error == WatermarkError::TooLarge ? error : WatermarkError::Unreadable;
}

WatermarkError ConvertFile(const std::filesystem::path& source,
                           const std::filesystem::path& destination,
                           std::vector<uint8_t>* written) {
    std::error_code sizeError;
    const uintmax_t size = std::filesystem::file_size(source, sizeError);
    if (!sizeError && size > kMaxSourceBytes)
        return OversizedSourceError(source);
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(source);
    if (!bytes)
        return WatermarkError::Unreadable;
    WatermarkPicture picture = ConvertWatermarkPicture(*bytes);
    if (picture.error != WatermarkError::None)
        return picture.error;
    if (!ReplaceFileWith(destination, picture.bytes))
        return WatermarkError::NotWritten;
    if (written)
        *written = std::move(picture.bytes);
    return WatermarkError::None;
}

}  // namespace

std::u16string WatermarkPictureFile(std::u16string_view tempFolder, std::u16string_view printerName) {
    std::u16string path(tempFolder);
    if (path.empty() || path.back() != u'\\')
        path += u'\\';
    path += printerName;
    path += u"1.bmp";
    return path;
}

// The three functions below are called from window procedures: whatever the library throws
// (memory, a path the system can't represent) ends here as a failed result.

WatermarkConversion WatermarkConversionOf(WatermarkError error) {
    switch (error) {
        case WatermarkError::None:
            return WatermarkConversion::Converted;
        case WatermarkError::NotWritten:
            return WatermarkConversion::NotWritten;
        default:
            return WatermarkConversion::Refused;
    }
}

WatermarkConversion convertWatermarkBitmap(const std::filesystem::path& source,
                                           const std::filesystem::path& destination,
                                           WatermarkError* why,
                                           std::vector<uint8_t>* written) {
    WatermarkError error = WatermarkError::Unreadable;
    try {
        error = ConvertFile(source, destination, written);
    } catch (const std::bad_alloc&) {
        error = WatermarkError::TooLarge;
    } catch (const std::exception&) {
        error = WatermarkError::Unreadable;
    }
    if (why)
        *why = error;
    return WatermarkConversionOf(error);
}

bool WriteTextPictureFile(const std::filesystem::path& destination, std::span<const uint8_t> canvas) {
    try {
        return ReplaceFileWith(destination, TextPictureFromCanvas(canvas));
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace m450
