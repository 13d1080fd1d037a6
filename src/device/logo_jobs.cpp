#include "device/logo_jobs.h"

#include "device/logo_raster.h"

#include <algorithm>
#include <new>

namespace m450 {
namespace {

constexpr uint8_t kLineFeed = 0x0A;

std::vector<uint8_t> Bytes(std::span<const uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

bool SendWrites(const RawPrinterChannel& channel, std::u16string_view documentName, const JobWrites& writes) {
    std::vector<std::span<const uint8_t>> buffers(writes.begin(), writes.end());
    return channel.Send(documentName, buffers);
}

}  // namespace

JobWrites ClearLogosJob() {
    return {Bytes(kBracketOpen), {0x1C, 0x71, 0x00, 0x00, kLineFeed}, Bytes(kBracketClose)};
}

bool SendClearLogos(const RawPrinterChannel& channel) {
    return SendWrites(channel, kSelfTestDocument, ClearLogosJob());
}

// The total only matters up to the limit, so adding stops there and cannot overflow.
LogoDownloadCheck CheckLogoDownload(std::span<const std::optional<uint64_t>> sizes) {
    if (sizes.empty())
        return LogoDownloadCheck::NoLogos;
    if (sizes.size() > kMaxLogos)
        return LogoDownloadCheck::TooManyLogos;
    uint64_t total = 0;
    for (const auto& size : sizes) {
        if (!size)
            return LogoDownloadCheck::SizeUnknown;
        total += std::min(*size, kLogoDownloadLimit);
    }
    return total >= kLogoDownloadLimit ? LogoDownloadCheck::TooLarge : LogoDownloadCheck::Ready;
}

LogoDownloadCheck CheckAddedLogo(std::span<const uint8_t> file) {
    const std::optional<BitmapHeader> header = ReadBitmapHeader(file);
    if (!header)
        return LogoDownloadCheck::NoHeaders;
    if (header->width > kMaxLogoWidth || BitmapRows(header->height) > uint32_t{kMaxLogoHeight})
        return LogoDownloadCheck::TooBig;
    // A sound 24-bit picture of one or two pixels is shorter than the 62 bytes "Add" reads: the
    // reader, not the length, decides.
    if (ReadBitmap(file, {24, 8, 1}).problem != BitmapProblem::None)
        return file.size() < kLogoHeadBytes ? LogoDownloadCheck::NoHeaders : LogoDownloadCheck::Unreadable;
    return LogoDownloadCheck::Ready;
}

std::optional<TextId> LogoDownloadMessage(LogoDownloadCheck check) {
    switch (check) {
        case LogoDownloadCheck::NoLogos:
            return TextId::MSG_MB_DOWNLOAD_ERROR5;
        case LogoDownloadCheck::TooManyLogos:
            return TextId::MSG_MB_DOWNLOAD_ERROR4;
        case LogoDownloadCheck::NoHeaders:
        case LogoDownloadCheck::Unreadable:
            return TextId::MSG_MB_DOWNLOAD_ERROR2;
        case LogoDownloadCheck::TooBig:
            return TextId::MSG_MB_DOWNLOAD_ERROR3;
        case LogoDownloadCheck::SizeUnknown:
            return TextId::MSG_MB_DOWNLOAD_ERROR6;
        case LogoDownloadCheck::TooLarge:
            return TextId::MSG_MB_DOWNLOAD_ERROR7;
        case LogoDownloadCheck::Ready:
        case LogoDownloadCheck::LogoRefused:
        case LogoDownloadCheck::NoType:
            break;
    }
    return std::nullopt;
}

void RemoveLogoSettings(LogoSettingsTable& table, size_t index) {
    if (index >= table.size())
        return;
    std::move(table.begin() + static_cast<std::ptrdiff_t>(index) + 1, table.end(),
              table.begin() + static_cast<std::ptrdiff_t>(index));
    table.back() = LogoSettings{};
}

namespace {

bool IsDepth(const BitmapHeader& header, std::initializer_list<uint16_t> depths) {
    return std::find(depths.begin(), depths.end(), header.bitCount) != depths.end();
}

}  // namespace

LogoCopyStep WorkingCopyStep(LogoType type, const std::optional<BitmapHeader>& header) {
    const bool bitmap = header && header->type == kBmpType;
    switch (type) {
        case LogoType::Original:
            return bitmap && IsDepth(*header, {24, 8}) ? LogoCopyStep::Made : LogoCopyStep::SourceItself;
        case LogoType::Mono:
            if (!bitmap)
                return LogoCopyStep::Stop;
            return IsDepth(*header, {24, 8}) ? LogoCopyStep::Made : LogoCopyStep::SourceItself;
        case LogoType::Gray:
            return bitmap && IsDepth(*header, {24, 8, 1}) ? LogoCopyStep::Made : LogoCopyStep::Stop;
    }
    return LogoCopyStep::Stop;
}

LogoConversion ConvertLogo(LogoType type, std::span<const uint8_t> source, const LogoSettings& settings) {
    const LogoSettings clamped = ClampLogoSettings(settings);
    switch (type) {
        case LogoType::Gray:
            return ConvertToGray(source, clamped.contrast, clamped.brightness);
        case LogoType::Mono:
            return ConvertToMono(source, clamped);
        case LogoType::Original:
            break;
    }
    return ConvertToMono(source, LogoSettings{});
}

PreparedLogo PrepareLogo(LogoType type, std::span<const uint8_t> source, const LogoSettings& settings) {
    PreparedLogo logo;
    logo.copy = ConvertLogo(type, source, settings);
    const bool hasCopy = logo.copy.result == ConversionResult::Converted;
    logo.size = hasCopy ? logo.copy.workingCopy.size() : source.size();
    if (type == LogoType::Mono && ChooseMonoLogoFile(source) == MonoLogoFile::Source)
        logo.sent = std::vector<uint8_t>(source.begin(), source.end());
    else if (hasCopy)
        logo.sent = logo.copy.workingCopy;
    return logo;
}

MonoLogoFile ChooseMonoLogoFile(std::span<const uint8_t> sourceHead) {
    return IsOneBitBitmap(sourceHead) ? MonoLogoFile::Source : MonoLogoFile::WorkingCopy;
}

LogoJob BuildLogoJob(LogoType type, std::span<const std::optional<std::vector<uint8_t>>> files) {
    LogoJob job;
    if (type == LogoType::Original || files.empty() || files.size() > kMaxLogos)
        return job;
    const bool mono = type == LogoType::Mono;
    size_t i = 0;
    try {
        job.writes.push_back(Bytes(kBracketOpen));
        job.writes.push_back({0x1C, static_cast<uint8_t>(mono ? 0x71 : 0x72), static_cast<uint8_t>(files.size())});
        for (; i < files.size(); ++i) {
            LogoRaster raster = !files[i] ? LogoRaster{BitmapProblem::Unreadable, {}, {}}
                                : mono    ? BuildColumnData(*files[i])
                                          : BuildPlaneData(*files[i]);
            if (raster.problem != BitmapProblem::None) {
                job.writes.clear();
                job.failedLogo = i;
                job.problem = raster.problem;
                return job;
            }
            job.writes.push_back(std::move(raster.header));
            job.writes.push_back(std::move(raster.data));
        }
        job.writes.push_back({kLineFeed});
        job.writes.push_back(Bytes(kBracketClose));
        job.complete = true;
    } catch (const std::bad_alloc&) {
        job.writes.clear();
        job.problem = BitmapProblem::NoMemory;
        job.failedLogo = i;
    }
    return job;
}

namespace {

LogoDownload Refusal(LogoDownloadCheck check,
                     std::optional<size_t> logo = std::nullopt,
                     BitmapProblem problem = BitmapProblem::None) {
    LogoDownload download;
    download.check = check;
    download.logo = logo;
    download.problem = problem;
    return download;
}

}  // namespace

LogoDownload PrepareLogoDownload(LogoType type, std::span<const ListedLogo> logos) {
    if (logos.empty())
        return Refusal(LogoDownloadCheck::NoLogos);
    if (logos.size() > kMaxLogos)
        return Refusal(LogoDownloadCheck::TooManyLogos);
    if (type == LogoType::Original)
        return Refusal(LogoDownloadCheck::NoType);
    for (size_t i = 0; i < logos.size(); ++i) {
        if (!logos[i].source)
            return Refusal(LogoDownloadCheck::SizeUnknown, i);
        // A file the reader refuses (changed since it was added) is named below with its problem.
        if (const LogoDownloadCheck added = CheckAddedLogo(*logos[i].source);
            added != LogoDownloadCheck::Ready && added != LogoDownloadCheck::Unreadable)
            return Refusal(added, i);
    }

    LogoDownload download;
    std::vector<std::optional<uint64_t>> sizes;
    std::vector<std::optional<std::vector<uint8_t>>> sent;
    size_t i = 0;
    try {
        for (; i < logos.size(); ++i) {
            PreparedLogo logo = PrepareLogo(type, *logos[i].source, logos[i].settings);
            sizes.push_back(logo.size);
            sent.push_back(std::move(logo.sent));
            download.copies.push_back(std::move(logo.copy));
        }
    } catch (const std::bad_alloc&) {
        return Refusal(LogoDownloadCheck::LogoRefused, i, BitmapProblem::NoMemory);
    }
    if (const LogoDownloadCheck total = CheckLogoDownload(sizes); total != LogoDownloadCheck::Ready) {
        download.check = total;
        return download;
    }
    for (i = 0; i < sent.size(); ++i) {
        if (!sent[i]) {
            download.check = LogoDownloadCheck::LogoRefused;
            download.logo = i;
            download.problem = download.copies[i].problem;
            return download;
        }
    }
    download.job = BuildLogoJob(type, sent);
    if (!download.job.complete) {
        download.check = LogoDownloadCheck::LogoRefused;
        download.logo = download.job.failedLogo;
        download.problem = download.job.problem;
    }
    return download;
}

bool SendLogoJob(const RawPrinterChannel& channel, const LogoJob& job) {
    if (!job.complete || job.writes.empty())
        return false;
    return SendWrites(channel, kLogoDocument, job.writes);
}

bool SendFileDownload(const RawPrinterChannel& channel, std::span<const uint8_t> file) {
    uint32_t written = 0;
    const bool ended = channel.Send(kFirmwareDocument, {file}, &written);
    return ended && written == file.size();
}

namespace {

struct FilterPair {
    std::u16string_view text;
    std::u16string_view pattern;
};
using FilterList = std::array<FilterPair, 5>;

constexpr FilterList kEnglishFilters = {{
    {u"*.JK(Firmware)", u"*.JK"},
    {u"*.DAT(Data)", u"*.DAT"},
    {u"*.FNT(Font)", u"*.FNT"},
    {u"*.ZK(Font)", u"*.ZK"},
    {u"*.EEP(EEPROM)", u"*.EEP"},
}};
constexpr FilterList kSimplifiedChineseFilters = {{
    {u"*.JK(\u76D1\u63A7\u7A0B\u5E8F\u6587\u4EF6)", u"*.JK"},
    {u"*.DAT(\u76D1\u63A7\u7A0B\u5E8F\u6587\u4EF6)", u"*.DAT"},
    {u"*.FNT(\u5B57\u5E93\u6587\u4EF6)", u"*.FNT"},
    {u"*.ZK(\u5B57\u5E93\u6587\u4EF6)", u"*.ZK"},
    {u"*.EEP(EEPROM\u6587\u4EF6)", u"*.EEP"},
}};
constexpr FilterList kTraditionalChineseFilters = {{
    {u"*.JK(\u76E3\u63A7\u7A0B\u5F0F\u6587\u4EF6)", u"*.JK"},
    {u"*.DAT(\u76E3\u63A7\u7A0B\u5F0F\u6587\u4EF6)", u"*.DAT"},
    {u"*.FNT(\u5B57\u5EAB\u6587\u4EF6)", u"*.FNT"},
    {u"*.ZK(\u5B57\u5EAB\u6587\u4EF6)", u"*.ZK"},
    {u"*.EEP(EEPROM\u6587\u4EF6)", u"*.EEP"},
}};

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

std::u16string FileDownloadFilter(std::u16string_view textFileName) {
    const FilterList& list = SameNameIgnoringCase(textFileName, u"CHN_M450.res")   ? kSimplifiedChineseFilters
                             : SameNameIgnoringCase(textFileName, u"CHF_M450.res") ? kTraditionalChineseFilters
                                                                                   : kEnglishFilters;
    std::u16string filter;
    for (const FilterPair& pair : list) {
        filter.append(pair.text).push_back(u'\0');
        filter.append(pair.pattern).push_back(u'\0');
    }
    filter.push_back(u'\0');
    return filter;
}

}  // namespace m450
