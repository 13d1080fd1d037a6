// The Download page's printer jobs: "Clear All Logos", "Download all" (the logo definitions)
// and the file download. Builders return the writes in order; senders hand them to a
// RawPrinterChannel, one write per buffer.
#pragma once

#include "core/text_store.h"
#include "device/bmp_reader.h"
#include "device/logo_conversion.h"
#include "device/raw_channel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace m450 {

// The bracket around the printer's own commands: each half is a write of its own.
inline constexpr std::array<uint8_t, 4> kBracketOpen = {0x1B, 0x63, 0x3B, 0x01};
inline constexpr std::array<uint8_t, 4> kBracketClose = {0x1B, 0x63, 0x3B, 0x00};

inline constexpr std::u16string_view kSelfTestDocument = u"SELFTEST";
inline constexpr std::u16string_view kLogoDocument = u"LOGO";
inline constexpr std::u16string_view kFirmwareDocument = u"FIRMWARE";

using JobWrites = std::vector<std::vector<uint8_t>>;

// "Clear All Logos": bracket open, 1C 71 00 00 0A (define zero logos), bracket close —
// 13 bytes in three writes, sent as a "SELFTEST" document.
JobWrites ClearLogosJob();
bool SendClearLogos(const RawPrinterChannel& channel);

// The page's logo type radios, in order. One type holds for every logo in the list.
enum class LogoType : uint8_t { Original = 0, Mono = 1, Gray = 2 };

inline constexpr size_t kMaxLogos = 9;
// The printer's logo memory: the listed files must add up to less than this.
inline constexpr uint64_t kLogoDownloadLimit = 0x18000;  // 96 KiB

// The checks "Download all" makes before it starts the job.
enum class LogoDownloadCheck : uint8_t {
    Ready,
    NoLogos,       // the list is empty                                   (MB_DOWNLOAD_ERROR5)
    TooManyLogos,  // more than 9 (the page's list never holds more)      (MB_DOWNLOAD_ERROR4)
    SizeUnknown,   // a logo with neither a working copy nor a file size  (MB_DOWNLOAD_ERROR6)
    TooLarge,      // the sizes add up to 96 KiB or more                  (MB_DOWNLOAD_ERROR7)
};

// `sizes` has one entry per listed logo: the size of its working copy, or of the file itself
// where there is no working copy, or nullopt where neither size could be had.
LogoDownloadCheck CheckLogoDownload(std::span<const std::optional<uint64_t>> sizes);

// The message a check shows, nullopt for Ready.
std::optional<TextId> LogoDownloadMessage(LogoDownloadCheck check);

// The per-logo settings of the page's list, one entry per list position.
using LogoSettingsTable = std::array<LogoSettings, kMaxLogos>;

// A row of the list is deleted: the entries behind it move up one place and the last entry is
// cleared. An index past the table changes nothing.
void RemoveLogoSettings(LogoSettingsTable& table, size_t index);

// What a logo of a type gets from its source file, judged by the file's headers (nullopt: too
// short to have them): a working copy; the source itself, shown and sent as it is ("Original"
// with anything but a 24- or 8-bit "BM", "Transformation" with another depth); or nothing,
// which ends the command that asked ("Transformation" with no "BM", "Gray" with anything but a
// 24-, 8- or 1-bit "BM").
enum class LogoCopyStep : uint8_t { Made, SourceItself, Stop };
LogoCopyStep WorkingCopyStep(LogoType type, const std::optional<BitmapHeader>& header);

// The working copy a logo gets for a type: "Transformation" a mono copy by the logo's method,
// "Gray" the gray copy, "Original" the mono copy by method 0 with no adjustment (the preview of
// a freshly added logo). The settings are clamped first.
LogoConversion ConvertLogo(LogoType type, std::span<const uint8_t> source, const LogoSettings& settings);

// Which file a logo of type "Transformation" is sent from: the source itself when it is a
// 1-bit "BM" (it gets no mono working copy), its working copy otherwise. `sourceHead` is the
// source's first bytes (62 are enough); too few count as not 1-bit.
enum class MonoLogoFile : uint8_t { Source, WorkingCopy };
MonoLogoFile ChooseMonoLogoFile(std::span<const uint8_t> sourceHead);

// The "LOGO" job: bracket open, 1C 71 n (mono) or 1C 72 n (gray), the header and the data of
// each logo in list order, 0A, bracket close. A logo whose file could not be read (nullopt) or
// is refused by its raster builder ends the job there: the writes before it stay, the rest
// are not made, and `complete` is false.
struct LogoJob {
    JobWrites writes;
    bool complete = false;
    size_t failedLogo = 0;  // when not complete, the list index of the logo that ended it
    BitmapProblem problem = BitmapProblem::None;
};

// `files` holds, per logo, the bytes of the file to send: for LogoType::Mono the 1-bit file
// ChooseMonoLogoFile names, for LogoType::Gray the gray working copy. Type Original, no logos or
// more than 9 give a job with no writes.
LogoJob BuildLogoJob(LogoType type, std::span<const std::optional<std::vector<uint8_t>>> files);

// One listed logo as "Download all" takes it: its working copy made afresh from the source with
// the logo's settings (written to disk by the caller), the size the download counts (the
// working copy's, or the source's where it gets none) and the bytes the job is built from (the
// 1-bit source itself for a mono logo that is already 1 bit, else the working copy; nullopt
// when there is nothing to send).
struct PreparedLogo {
    LogoConversion copy;
    std::optional<uint64_t> size;
    std::optional<std::vector<uint8_t>> sent;
};
PreparedLogo PrepareLogo(LogoType type, std::span<const uint8_t> source, const LogoSettings& settings);

// Sends the writes as a "LOGO" document. True when the job was complete and the spooler took
// it; a job with no writes is not sent.
bool SendLogoJob(const RawPrinterChannel& channel, const LogoJob& job);

// The file download: the whole file as the one write of a "FIRMWARE" document, no bracket.
// True only when the document ended and the spooler's written count equals the file's size
// (an empty file is a job with one write of zero bytes).
bool SendFileDownload(const RawPrinterChannel& channel, std::span<const uint8_t> file);

// The file types Browse offers, in the language of the current text file: "CHN_M450.res"
// Simplified Chinese, "CHF_M450.res" Traditional Chinese (either in any letter case), any other
// name English. Five pairs of shown text and pattern as the open-file dialog takes them: every
// string ends in a NUL and the list in a second one.
std::u16string FileDownloadFilter(std::u16string_view textFileName);

}  // namespace m450
