// The Download page's printer jobs: "Clear All Logos", "Download all" (the logo definitions)
// and the file download. Builders return the writes in order; senders hand them to a
// RawPrinterChannel, one write per buffer.
#pragma once

#include "core/text_store.h"
#include "core/bmp_reader.h"
#include "device/logo_conversion.h"
#include "core/raw_channel.h"

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
// The largest logo picture, in pixels; 1024 × 768 itself is taken.
inline constexpr int32_t kMaxLogoWidth = 1024;
inline constexpr int32_t kMaxLogoHeight = 768;
// "Add" reads this much of a file for the two headers.
inline constexpr size_t kLogoHeadBytes = 62;

// The checks of the logo list, as "Add" and "Download all" make them.
enum class LogoDownloadCheck : uint8_t {
    Ready,
    NoLogos,       // the list is empty                                   (MB_DOWNLOAD_ERROR5)
    TooManyLogos,  // more than 9 (the page's list never holds more)      (MB_DOWNLOAD_ERROR4)
    NoHeaders,     // a file shorter than the 62 bytes "Add" reads        (MB_DOWNLOAD_ERROR2)
    TooBig,        // a picture wider than 1024 or higher than 768        (MB_DOWNLOAD_ERROR3)
    Unreadable,    // a file the bitmap reader refuses: not an uncompressed 1-, 8- or 24-bit
                   // "BM" whose rows and colour table are all in the file  (MB_DOWNLOAD_ERROR2)
    SizeUnknown,   // a logo with neither a working copy nor a file size  (MB_DOWNLOAD_ERROR6)
    TooLarge,      // the sizes add up to 96 KiB or more                  (MB_DOWNLOAD_ERROR7)
    LogoRefused,   // a logo that cannot be sent; its BitmapProblem says why (the page names the
                   // logo with MB_DOWNLOAD_ERROR12)
    NoType,        // type "Original": nothing is downloaded
};

// What "Add" checks of a chosen file's bytes: NoHeaders (no two headers, or a refused file
// shorter than kLogoHeadBytes), TooBig, Unreadable or Ready. The size
// counts rows whichever way they are stored (a top-down picture's height is -biHeight). Only a
// file the reader takes is listed: its preview is drawn from the reader's pixels, and nothing
// else (no system image loader) ever reads a file the user picked.
LogoDownloadCheck CheckAddedLogo(std::span<const uint8_t> file);

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
// each logo in list order, 0A, bracket close. The job is made whole before anything is sent:
// a logo whose file could not be read (nullopt) or is refused by its raster builder leaves the
// job with no writes at all, `complete` false and the logo and its problem named.
struct LogoJob {
    JobWrites writes;  // the whole job, or empty
    bool complete = false;
    size_t failedLogo = 0;  // when not complete, the list index of the logo that failed
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

// One row of the list as "Download all" reads it: the source file's bytes (nullopt when it could
// not be read) and the row's settings.
struct ListedLogo {
    std::optional<std::vector<uint8_t>> source;
    LogoSettings settings;
};

// "Download all" decided: either the whole job, or the check that refuses it. `logo` names the
// list index of the logo a refusal is about (none for NoLogos, TooManyLogos, TooLarge, NoType);
// for LogoRefused `problem` says why that logo cannot be sent.
struct LogoDownload {
    LogoDownloadCheck check = LogoDownloadCheck::Ready;
    std::optional<size_t> logo;
    BitmapProblem problem = BitmapProblem::None;
    std::vector<LogoConversion> copies;  // per logo converted, its fresh working copy (result 1) or not
    LogoJob job;                         // complete when check is Ready, else with no writes
};

// The checks in the order the page makes them: no logos, more than 9, type "Original" (whose
// button is off; an empty list is reported first), then per logo in list order a file that
// cannot be read (SizeUnknown) or that "Add" would refuse (NoHeaders, TooBig); then each logo is
// prepared (PrepareLogo) and the sizes added up (TooLarge); last a logo with nothing to send
// (its conversion's problem) and the job built (a raster's problem). Nothing is converted before
// the list checks pass.
LogoDownload PrepareLogoDownload(LogoType type, std::span<const ListedLogo> logos);

// Sends the writes as a "LOGO" document. True when the job was complete and the spooler took
// it; an incomplete job is not sent at all.
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
