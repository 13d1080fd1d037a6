// watermark IN.bmp OUT.bmp: the Watermark page's conversion of a chosen bitmap into the
// printer's picture file, with its result as the page receives it (1, 2 or 0).
#include "commands.h"

#include "document/watermark_file.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace m450::tool {

namespace {

std::string_view Reason(WatermarkError error) {
    switch (error) {
        case WatermarkError::None:
            break;
        case WatermarkError::Unreadable:
            return "cannot read the bitmap";
        case WatermarkError::NotBitmap:
            return "not a bitmap file";
        case WatermarkError::UnacceptedLayout:
            return "not an uncompressed 1-, 8- or 24-bit bitmap";
        case WatermarkError::Truncated:
            return "the bitmap ends before its pixel rows";
        case WatermarkError::TooLarge:
            return "the picture would be too large";
        case WatermarkError::NotWritten:
            return "cannot write the picture file";
    }
    return "";
}

}  // namespace

int RunWatermark(const Args& args) {
    const std::filesystem::path source{std::string(args.Operand(0))};
    const std::filesystem::path destination{std::string(args.Operand(1))};
    WatermarkError error = WatermarkError::None;
    const WatermarkConversion result = convertWatermarkBitmap(source, destination, &error);
    std::printf("%d\n", static_cast<int>(result));
    // Each failure names the file it concerns, with what the file system tells where it can.
    const bool output = error == WatermarkError::NotWritten;
    const std::string_view path = args.Operand(output ? 1 : 0);
    const std::string problem = output                                ? OutputProblem(path)
                                : error == WatermarkError::Unreadable ? InputProblem(path)
                                                                      : "";
    if (result != WatermarkConversion::Converted)
        return Refuse(std::string(path) + ": " + std::string(Reason(error)) +
                      (problem.empty() ? "" : " (" + problem + ")"));
    return kExitOk;
}

}  // namespace m450::tool
