// decode FILE [--images DIR]: a raw stream as the printer read it, one line per command, and
// with --images every logo it defines as DIR/logo-K.png (8-bit gray, exactly the stored dots);
// DIR is made when there is a picture to put in it.
#include "commands.h"

#include "m450tool/job_decode.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

// stb's PNG writer, compiled here once (header-only, so m450tool.exe has it too).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb/stb_image_write.h"

namespace m450::tool {

namespace {

// One logo picture as a PNG file; false when it cannot be written.
bool WritePicture(const std::filesystem::path& path, const DecodedLogo& logo) {
    if (logo.width == 0 || logo.height == 0 || logo.width > INT32_MAX / logo.height)
        return false;
    return stbi_write_png(path.string().c_str(), static_cast<int>(logo.width), static_cast<int>(logo.height), 1,
                          logo.dots.data(), static_cast<int>(logo.width)) != 0;
}

}  // namespace

int RunDecode(const Args& args) {
    const auto images = args.Value("--images");
    const std::filesystem::path folder{std::string(images.value_or(""))};
    std::error_code ec;
    if (images && std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec))
        return Refuse(std::string(*images) + ": is not a folder, so no pictures can go in it");
    std::string error;
    const auto stream = ReadInputFile(args.Operand(0), error);
    if (!stream)
        return Refuse(error);
    const JobDecoding decoding = DecodeJob(*stream, images.has_value());
    for (const DecodedLine& line : decoding.lines)
        std::printf("%s\n", FormatDecodedLine(*stream, line).c_str());
    std::printf("%s\n", DecodingSummary(decoding).c_str());
    if (!images)
        return kExitOk;

    // The folder is made only for a picture to put in it.
    const bool anyPicture = std::any_of(decoding.logos.begin(), decoding.logos.end(),
                                        [](const DecodedLogo& logo) { return !logo.dots.empty(); });
    if (!anyPicture) {
        std::fprintf(stderr, "m450tool: %s: nothing written to %s\n",
                     decoding.logos.empty() ? "the stream defines no logo" : "no logo of the stream has dots",
                     std::string(*images).c_str());
        return kExitOk;
    }
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return Refuse("cannot create the folder " + std::string(*images));
    int result = kExitOk;
    for (size_t k = 0; k < decoding.logos.size(); ++k) {
        const DecodedLogo& logo = decoding.logos[k];
        const std::filesystem::path path = folder / ("logo-" + std::to_string(k + 1) + ".png");
        if (logo.dots.empty()) {
            std::fprintf(stderr, "m450tool: logo %s has no dots: no picture\n", std::to_string(k + 1).c_str());
        } else if (WritePicture(path, logo)) {
            std::fprintf(stderr, "%s: %u x %u dots, %s\n", path.string().c_str(), logo.width, logo.height,
                         logo.gray ? "gray" : "mono");
        } else {
            result = Refuse("cannot write " + path.string());
        }
    }
    return result;
}

}  // namespace m450::tool
