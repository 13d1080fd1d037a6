#include "tool.h"

#include "core/hex_text.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define M450_ISATTY _isatty
#else
#include <unistd.h>
#define M450_ISATTY isatty
#endif

namespace m450::tool {

namespace {

// Records are 1980 bytes and logo bitmaps a few hundred kilobytes; a stream that goes on past
// this is not an input any command means to read.
constexpr size_t kMaxInputBytes = 64u << 20;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::filesystem::file_type TypeOf(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::status(path, ec).type();
}

}  // namespace

int Refuse(std::string_view reason) {
    std::fprintf(stderr, "m450tool: %.*s\n", static_cast<int>(reason.size()), reason.data());
    return kExitRefused;
}

std::string InputProblem(std::string_view path) {
    switch (TypeOf(std::string(path))) {
        case std::filesystem::file_type::not_found:
            return "no such file";
        case std::filesystem::file_type::directory:
            return "is a folder";
        default:
            return "";
    }
}

std::string OutputProblem(std::string_view path) {
    const std::filesystem::path file{std::string(path)};
    if (TypeOf(file) == std::filesystem::file_type::directory)
        return "is a folder";
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty() && TypeOf(folder) != std::filesystem::file_type::directory)
        return "no such folder";
    return "";
}

std::string Counted(uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::optional<std::vector<uint8_t>> ReadInputFile(std::string_view path, std::string& error) {
    const bool standardInput = path == "-";
    // A folder opens for reading on some systems and then reads as an error: say so first.
    const std::string problem = standardInput ? "" : InputProblem(path);
    std::FILE* file = !problem.empty() ? nullptr : standardInput ? stdin : std::fopen(std::string(path).c_str(), "rb");
    if (!file) {
        error = std::string(path) + ": " + (problem.empty() ? "cannot be opened" : problem);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[64 * 1024];
    size_t got = 0;
    bool tooLarge = false;
    while (!tooLarge && (got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        tooLarge = got > kMaxInputBytes - bytes.size();
        if (!tooLarge)
            bytes.insert(bytes.end(), chunk, chunk + got);
    }
    const bool failed = std::ferror(file) != 0;
    if (!standardInput)
        std::fclose(file);
    if (tooLarge || failed) {
        error = std::string(path) + (tooLarge ? " is larger than any input the tool reads" : ": cannot be read");
        return std::nullopt;
    }
    return bytes;
}

void WriteLine(std::u16string_view text) {
    const std::string line = Utf16ToUtf8(text) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void WriteBytes(std::span<const uint8_t> bytes, bool hex) {
    if (hex)
        WriteLine(FormatHexBytes(bytes));
    else
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int WriteBinaryOutput(const Args& args, std::span<const uint8_t> bytes) {
    const bool hex = args.Flag("--hex");
    if (!hex && !args.Flag("--raw") && M450_ISATTY(1))
        return Refuse("the output is binary and standard output is a terminal: redirect it, or give --hex or --raw");
    WriteBytes(bytes, hex);
    return kExitOk;
}

// Malformed sequences give U+FFFD, which any parser of the tool reads as a non-digit.
std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80           ? 1
                              : (lead >> 5) == 0x6  ? 2
                              : (lead >> 4) == 0xE  ? 3
                              : (lead >> 3) == 0x1E ? 4
                                                    : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && length <= text.size() - i;
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= kLeast[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!valid) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string SystemDirectory() {
#ifdef _WIN32
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
#endif
    return u"C:\\Windows\\system32";
}

SpoolerCalls PrintingSpooler(const Args& args) {
    // The context says which form: it points at one of the two constants.
    static const bool kRaw = true, kText = false;
    SpoolerCalls calls;
    calls.context = const_cast<bool*>(args.Flag("--raw") ? &kRaw : &kText);
    calls.startDoc = [](void* context, std::u16string_view name) {
        if (!*static_cast<bool*>(context))
            WriteLine(name);
        return true;
    };
    calls.startPage = [](void*) { return true; };
    calls.write = [](void* context, const uint8_t* data, uint32_t length, uint32_t* written) {
        WriteBytes({data, length}, !*static_cast<bool*>(context));
        *written = length;
        return true;
    };
    calls.endPage = [](void*) { return true; };
    calls.endDoc = [](void*) { return true; };
    return calls;
}

}  // namespace m450::tool
