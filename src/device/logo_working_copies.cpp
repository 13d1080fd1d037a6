#include "device/logo_working_copies.h"

#include <algorithm>

namespace m450 {
namespace {

bool Contains(const std::vector<std::u16string>& keys, const std::u16string& key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

// ---- files in memory -----------------------------------------------------------------------

std::u16string MemoryLogoFiles::Key(const std::u16string& path) {
    std::u16string key = path;
    for (char16_t& c : key)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return key;
}

bool MemoryLogoFiles::Exists(const std::u16string& path) {
    return files.count(Key(path)) != 0;
}

std::optional<FileStamp> MemoryLogoFiles::Stamp(const std::u16string& path) {
    const auto file = files.find(Key(path));
    if (file == files.end())
        return std::nullopt;
    return FileStamp{file->second.size(), written_[file->first]};
}

FileRead MemoryLogoFiles::Read(const std::u16string& path, FileSharing, uint64_t limit) {
    ++reads;
    const auto file = files.find(Key(path));
    if (file == files.end())
        return {FileReadFailure::Open, {}};
    if (file->second.size() > limit)
        return {FileReadFailure::Size, {}};
    return {FileReadFailure::None, file->second};
}

std::vector<uint8_t> MemoryLogoFiles::ReadHead(const std::u16string& path, size_t count) {
    const auto file = files.find(Key(path));
    if (file == files.end())
        return {};
    return std::vector<uint8_t>(file->second.begin(), file->second.begin() + std::min(count, file->second.size()));
}

FileWrite MemoryLogoFiles::Write(const std::u16string& path, std::span<const uint8_t> bytes, bool replace) {
    const std::u16string key = Key(path);
    if (!replace && files.count(key) != 0)
        return FileWrite::AlreadyThere;
    if (failWrites)
        return FileWrite::Failed;
    files[key].assign(bytes.begin(), bytes.end());
    written_[key] = ++clock_;
    return FileWrite::Written;
}

void MemoryLogoFiles::Delete(const std::u16string& path) {
    files.erase(Key(path));
}

// ---- the page's working copies -------------------------------------------------------------

std::u16string LogoWorkingCopies::CopyPathOf(const std::u16string& source) {
    return WorkingCopyPath(source).value_or(std::u16string());
}

bool LogoWorkingCopies::Owns(const std::u16string& copyPath) {
    return Contains(made_, files_.Key(copyPath));
}

std::optional<std::vector<uint8_t>> LogoWorkingCopies::ReadLogo(const std::u16string& source) {
    FileRead read = files_.Read(source, FileSharing::Readers, kMaxLogoFileBytes);
    if (read.failure != FileReadFailure::None)
        return std::nullopt;
    return std::move(read.bytes);
}

const std::optional<std::vector<uint8_t>>& LogoWorkingCopies::KeptLogo(const std::u16string& source) {
    const std::optional<FileStamp> stamp = files_.Stamp(source);
    if (!stamp || !keptBytes_ || source != keptPath_ || stamp != keptStamp_) {
        keptBytes_.reset();  // the old bytes go before the new ones come
        keptBytes_ = stamp ? ReadLogo(source) : std::nullopt;
        keptPath_ = source;
        keptStamp_ = stamp;
    }
    return keptBytes_;
}

// A file that bears the working-copy mark in its header: one a page of this plug-in wrote and
// could not delete (its host ended first).
bool LogoWorkingCopies::IsLeftoverCopy(const std::u16string& copyPath) {
    return IsMarkedWorkingCopy(files_.ReadHead(copyPath, kBmpFileHeaderSize));
}

// A working copy's name that a file of the user's already has. A leftover working copy is taken
// over instead: the page replaces it, and deletes it with its own copies.
bool LogoWorkingCopies::NameTaken(const std::u16string& copyPath) {
    if (copyPath.empty() || Owns(copyPath) || !files_.Exists(copyPath))
        return false;
    if (!IsLeftoverCopy(copyPath))
        return true;
    made_.push_back(files_.Key(copyPath));
    return false;
}

// Told once per page and name: a repaint must not bring the message back.
bool LogoWorkingCopies::FirstTelling(const std::u16string& copyPath) {
    const std::u16string key = files_.Key(copyPath);
    if (Contains(told_, key))
        return false;
    told_.push_back(key);
    return true;
}

void LogoWorkingCopies::Forget(const std::u16string& copyPath) {
    std::erase(made_, files_.Key(copyPath));
}

// Deletes the working copy if this page made it; a file of anybody else's stays.
void LogoWorkingCopies::DeleteOwn(const std::u16string& copyPath) {
    if (copyPath.empty() || !Owns(copyPath))
        return;
    files_.Delete(copyPath);
    Forget(copyPath);
}

void LogoWorkingCopies::DeleteAll() {
    std::vector<std::u16string> made;
    made.swap(made_);
    for (const std::u16string& copy : made)
        files_.Delete(copy);
}

// Writes the working copy a conversion made, marked as the page's. A conversion that failed
// leaves no copy of the page's behind, so that nothing stale is previewed or sent; a name that is
// taken is not touched. A file the page made is written over in place.
LogoWorkingCopies::CopyWrite LogoWorkingCopies::Store(const std::u16string& copyPath, LogoConversion& conversion) {
    if (copyPath.empty())
        return CopyWrite::Failed;
    if (NameTaken(copyPath))
        return CopyWrite::Taken;
    const bool ours = Owns(copyPath);
    if (conversion.result != ConversionResult::Converted) {
        DeleteOwn(copyPath);
        return CopyWrite::Failed;
    }
    if (!ours)
        made_.push_back(files_.Key(copyPath));  // before the write: a half file is ours too
    MarkWorkingCopy(conversion.workingCopy);
    const FileWrite write = files_.Write(copyPath, conversion.workingCopy, ours);
    if (write == FileWrite::Written)
        return CopyWrite::Written;
    if (!ours && write == FileWrite::AlreadyThere) {  // a file appeared meanwhile
        Forget(copyPath);
        return CopyWrite::Taken;
    }
    DeleteOwn(copyPath);
    return CopyWrite::Failed;
}

CopyOutcome LogoWorkingCopies::Make(const std::u16string& source,
                                    std::span<const uint8_t> bytes,
                                    LogoType type,
                                    const LogoSettings& settings) {
    const LogoCopyStep step = WorkingCopyStep(type, ReadBitmapHeader(bytes));
    if (step != LogoCopyStep::Made)
        return {step};
    const std::u16string copyPath = CopyPathOf(source);
    if (NameTaken(copyPath))
        return {step, true, FirstTelling(copyPath)};
    LogoConversion conversion = ConvertLogo(type, bytes, settings);
    const CopyWrite write = Store(copyPath, conversion);
    if (write == CopyWrite::Taken)
        return {step, true, FirstTelling(copyPath)};
    if (write == CopyWrite::Written)
        return {step, false, false, std::move(conversion.workingCopy)};
    return {step};
}

CopyOutcome LogoWorkingCopies::Make(const std::u16string& source, LogoType type, const LogoSettings& settings) {
    const std::optional<std::vector<uint8_t>> bytes = ReadLogo(source);
    if (!bytes)
        return {LogoCopyStep::Stop};
    return Make(source, *bytes, type, settings);
}

std::optional<std::u16string> LogoWorkingCopies::StoreAll(LogoType type,
                                                          std::span<const std::u16string> sources,
                                                          std::span<const ListedLogo> logos,
                                                          std::span<LogoConversion> copies) {
    for (size_t row = 0; row < copies.size() && row < sources.size() && row < logos.size(); ++row) {
        if (!logos[row].source || WorkingCopyStep(type, ReadBitmapHeader(*logos[row].source)) != LogoCopyStep::Made)
            continue;
        const std::u16string copyPath = CopyPathOf(sources[row]);
        if (Store(copyPath, copies[row]) == CopyWrite::Taken)
            return copyPath;
    }
    return std::nullopt;
}

void LogoWorkingCopies::Dropped(const std::u16string& source, std::span<const std::u16string> listed) {
    const std::u16string copy = CopyPathOf(source);
    const std::u16string key = files_.Key(copy);
    for (const std::u16string& other : listed)  // two rows may list one file
        if (files_.Key(CopyPathOf(other)) == key)
            return;
    DeleteOwn(copy);
}

}  // namespace m450
