// The Download page's logo half and file download, from the command line:
//   convert mono|gray IN.bmp   writes the working copy beside IN.bmp as the page does, prints its path
//                              (a file already at that path is replaced only with --replace);
//   job clear-logos            the "Clear All Logos" job;
//   job logos --type T FILE…   the "Download all" job, each file converted first as the page's
//                              preview would have left it, after the page's checks; a file
//                              that cannot be sent is named and no job is printed;
//   job file FILE              the file download job.
// Jobs are printed, not spooled. Refusals print the page's own message where it has one.
#include "commands.h"

#include "core/text_store.h"
#include "device/logo_conversion.h"
#include "device/logo_jobs.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace m450::tool {

namespace {

std::string Message(TextId id) {
    return Utf16ToUtf8(KeyOf(id).defaultText);
}

std::string_view ProblemText(BitmapProblem problem) {
    switch (problem) {
        case BitmapProblem::None:
            break;
        case BitmapProblem::Truncated:
            return "the file ends before the rows its header claims";
        case BitmapProblem::NotBitmap:
            return "not a bitmap file";
        case BitmapProblem::UnsupportedDepth:
            return "a bit count this conversion does not take";
        case BitmapProblem::Compressed:
            return "a compressed bitmap";
        case BitmapProblem::BadSize:
            return "width or height not in 1 to 16384 (top-down bitmaps included)";
        case BitmapProblem::BadPalette:
            return "the palette is neither black then white nor white then black";
        case BitmapProblem::BadColourTable:
            return "the colour table runs into the pixel rows, or a pixel's colour lies past the table";
        case BitmapProblem::TooWide:
            return "wider than the 2000 columns of error diffusion";
        case BitmapProblem::Unreadable:
            return "the file cannot be read";
        case BitmapProblem::NoMemory:
            return "out of memory";
    }
    return "";
}

// A file's problem as the tool says it, then the page's message for it: "x.bmp: no such file
// (Fail to open the selected file!)".
std::string WithPageMessage(const std::string& problem, TextId message) {
    return problem + " (" + Message(message) + ")";
}

std::optional<LogoSettings> SettingsOf(const Args& args, std::string& error) {
    const auto method = args.Number("--method", 0, 3, 0, error);
    const auto contrast = args.Number("--contrast", kMinLogoAdjustment, kMaxLogoAdjustment, 0, error);
    const auto brightness = args.Number("--brightness", kMinLogoAdjustment, kMaxLogoAdjustment, 0, error);
    if (!method || !contrast || !brightness)
        return std::nullopt;
    return LogoSettings{*method, *contrast, *brightness};
}

// Replaces the file; false when it cannot be created or written.
bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

int RunConvert(const Args& args, LogoType type) {
    std::string error;
    const auto settings = SettingsOf(args, error);
    if (!settings)
        return Refuse(error);
    const std::string_view path = args.Operand(0);
    const auto source = ReadInputFile(path, error);
    if (!source)
        return Refuse(WithPageMessage(error, TextId::MSG_MB_DOWNLOAD_ERROR1));
    if (source->empty())
        return Refuse(std::string(path) + ": the file is empty");
    const auto copyPath = WorkingCopyPath(path);
    if (!copyPath)
        return Refuse(std::string(path) + ": the working copy's path would not fit " +
                      std::to_string(kLogoPathCapacity - 1) + " characters");
    // A file already there may be the user's own: it is replaced only when asked.
    std::error_code status;
    if (!args.Flag("--replace") && std::filesystem::exists(std::filesystem::symlink_status(*copyPath, status)))
        return Refuse(*copyPath +
                      ": the working copy's name is taken by a file that is left as it is"
                      " (--replace overwrites it)");
    const LogoConversion conversion = ConvertLogo(type, *source, *settings);
    if (conversion.result != ConversionResult::Converted)
        return Refuse(std::string(path) + ": not converted: " + std::string(ProblemText(conversion.problem)));
    if (!WriteFile(*copyPath, conversion.workingCopy))
        return Refuse("cannot create " + *copyPath);
    std::printf("%s\n", copyPath->c_str());
    return kExitOk;
}

}  // namespace

int RunConvertMono(const Args& args) {
    return RunConvert(args, LogoType::Mono);
}

int RunConvertGray(const Args& args) {
    return RunConvert(args, LogoType::Gray);
}

int RunJobClearLogos(const Args& args) {
    return SendClearLogos(RawPrinterChannel(PrintingSpooler(args))) ? kExitOk : Refuse("the job could not be sent");
}

int RunJobLogos(const Args& args) {
    std::string error;
    std::string typeName(args.Value("--type").value_or(""));  // a required option
    for (char& c : typeName)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (typeName != "mono" && typeName != "gray")
        return Refuse("--type takes mono or gray");
    const LogoType type = typeName == "mono" ? LogoType::Mono : LogoType::Gray;
    const auto settings = SettingsOf(args, error);
    if (!settings)
        return Refuse(error);
    // The page's list stops at nine, and its message asks to delete some before adding one.
    if (args.OperandCount() > kMaxLogos)
        return Refuse(Counted(args.OperandCount(), "logo", "logos") + " given: the printer holds at most " +
                      std::to_string(kMaxLogos));

    // The page's checks and their messages, and the whole job made, before anything is printed;
    // a file's own problem is said after the page's message.
    std::vector<ListedLogo> logos;
    std::vector<std::string> problems;
    for (size_t i = 0; i < args.OperandCount(); ++i) {
        const auto& source = logos.emplace_back(ListedLogo{ReadInputFile(args.Operand(i), error), *settings}).source;
        problems.push_back(!source ? InputProblem(args.Operand(i)) : source->empty() ? "the file is empty" : "");
    }
    const LogoDownload download = PrepareLogoDownload(type, logos);
    if (download.check != LogoDownloadCheck::Ready) {
        const std::string file = download.logo ? std::string(args.Operand(*download.logo)) + ": " : "";
        const std::string problem = download.logo ? problems[*download.logo] : "";
        if (const auto message = LogoDownloadMessage(download.check))
            return Refuse(file + Message(*message) + (problem.empty() ? "" : " (" + problem + ")"));
        return Refuse(file + "cannot be sent (" + std::string(ProblemText(download.problem)) + "), so no job is made");
    }
    return SendLogoJob(RawPrinterChannel(PrintingSpooler(args)), download.job) ? kExitOk
                                                                               : Refuse("the job could not be sent");
}

int RunJobFile(const Args& args) {
    std::string error;
    const auto file = ReadInputFile(args.Operand(0), error);
    if (!file)
        return Refuse(WithPageMessage(error, TextId::MSG_MB_DOWNLOAD_ERROR1));
    return SendFileDownload(RawPrinterChannel(PrintingSpooler(args)), *file) ? kExitOk
                                                                             : Refuse("the job could not be sent");
}

}  // namespace m450::tool
