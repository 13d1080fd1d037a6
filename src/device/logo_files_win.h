// The Download page's files on the disk: LogoFiles over the Win32 file calls.
#pragma once

#include "device/logo_working_copies.h"

namespace m450 {

class Win32LogoFiles final : public LogoFiles {
  public:
    std::u16string Key(const std::u16string& path) override;
    bool Exists(const std::u16string& path) override;
    std::optional<FileStamp> Stamp(const std::u16string& path) override;
    FileRead Read(const std::u16string& path, FileSharing sharing, uint64_t limit) override;
    std::vector<uint8_t> ReadHead(const std::u16string& path, size_t count) override;
    FileWrite Write(const std::u16string& path, std::span<const uint8_t> bytes, bool replace) override;
    void Delete(const std::u16string& path) override;
};

}  // namespace m450
