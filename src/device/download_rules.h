// The Download page's decisions, apart from its window: a fresh logo's settings, which logo
// controls are enabled, and the message a failed file read or a refused logo shows. The page
// (download_page.cpp) only moves these values to and from its controls.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/text_store.h"
#include "device/logo_jobs.h"

namespace m450 {

// The settings a logo gets when it is added or its type is chosen: halftone method 1 for
// "Transformation", method 0 for the other types; contrast and brightness 0.
LogoSettings DefaultLogoSettings(LogoType type);

// Which of the logo controls can be used. The type radios need a selected logo; "Download all"
// needs a type other than "Original" and a logo in the list. The halftone radios and the sliders
// follow what the selected logo's preview made of it (`step`): "Original" uses neither;
// "Transformation" both where a working copy was made; "Gray" always the sliders, never the
// radios.
struct LogoControlsEnabled {
    bool typeRadios = false;
    bool downloadLogos = false;
    bool methodRadios = false;
    bool sliders = false;
};
LogoControlsEnabled LogoControlsFor(LogoType type, int logoCount, int selected, LogoCopyStep step);

// Why a whole file could not be read, in the order the reading fails.
enum class FileReadFailure : uint8_t { None, Open, Size, Memory, Seek, Read };

// The message the file download shows for a read that failed; nullopt when it did not.
std::optional<TextId> FileReadMessage(FileReadFailure failure);

// The message "Add" shows for a chosen file: one that cannot be opened, one that could not be
// read whole (as if it had no headers), or one CheckAddedLogo refuses; nullopt for a logo the
// list takes.
std::optional<TextId> AddedLogoMessage(FileReadFailure failure, std::span<const uint8_t> file);

// The name the list shows for a logo: its path from the last backslash or slash on.
std::u16string LogoListName(std::u16string_view path);

// The message "Download all" shows when it sends nothing, and the file it names on a line of its
// own (the logo that cannot be sent, for LogoRefused); nullopt when the job is sent.
struct DownloadRefusal {
    TextId text;
    std::optional<std::u16string> file;
};
std::optional<DownloadRefusal> LogoDownloadRefusal(const LogoDownload& download,
                                                   std::span<const std::u16string> sources);

}  // namespace m450
