#include "device/download_rules.h"

namespace m450 {

LogoSettings DefaultLogoSettings(LogoType type) {
    const HalftoneMethod method = type == LogoType::Mono ? HalftoneMethod::DitherM3 : HalftoneMethod::None;
    return {static_cast<int>(method), 0, 0};
}

LogoControlsEnabled LogoControlsFor(LogoType type, int logoCount, int selected, LogoCopyStep step) {
    LogoControlsEnabled enabled;
    enabled.typeRadios = logoCount > 0 && selected >= 0;
    enabled.downloadLogos = type != LogoType::Original && logoCount > 0;
    if (type != LogoType::Original) {
        enabled.methodRadios = type == LogoType::Mono && step == LogoCopyStep::Made;
        enabled.sliders = type == LogoType::Gray || step == LogoCopyStep::Made;
    }
    return enabled;
}

std::optional<TextId> FileReadMessage(FileReadFailure failure) {
    switch (failure) {
        case FileReadFailure::None:
            return std::nullopt;
        case FileReadFailure::Open:
            return TextId::MSG_MB_DOWNLOAD_ERROR1;
        case FileReadFailure::Size:
            return TextId::MSG_MB_DOWNLOAD_ERROR8;
        case FileReadFailure::Memory:
            return TextId::MSG_MB_DOWNLOAD_ERROR9;
        case FileReadFailure::Seek:
            return TextId::MSG_MB_DOWNLOAD_ERROR10;
        case FileReadFailure::Read:
            return TextId::MSG_MB_DOWNLOAD_ERROR2;
    }
    return std::nullopt;
}

std::optional<TextId> AddedLogoMessage(FileReadFailure failure, std::span<const uint8_t> file) {
    if (failure == FileReadFailure::Open)
        return TextId::MSG_MB_DOWNLOAD_ERROR1;
    return LogoDownloadMessage(failure != FileReadFailure::None ? LogoDownloadCheck::NoHeaders : CheckAddedLogo(file));
}

std::u16string LogoListName(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::optional<DownloadRefusal> LogoDownloadRefusal(const LogoDownload& download,
                                                   std::span<const std::u16string> sources) {
    if (download.check == LogoDownloadCheck::LogoRefused && download.logo && *download.logo < sources.size())
        return DownloadRefusal{TextId::MSG_MB_DOWNLOAD_ERROR12, sources[*download.logo]};
    if (const std::optional<TextId> message = LogoDownloadMessage(download.check))
        return DownloadRefusal{*message, std::nullopt};
    return std::nullopt;
}

}  // namespace m450
