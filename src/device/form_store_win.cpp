#include "device/form_store_win.h"

#include <winspool.h>

#include <memory>
#include <new>

namespace m450 {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "spooler names are the core's UTF-16 names");

// The first call of an enumeration asks with a small buffer for the size it needs.
constexpr DWORD kProbeSize = 32;

PaperForm FromSpooler(const FORM_INFO_1W& info) {
    PaperForm form;
    form.flags = info.Flags;
    if (info.pName != nullptr)
        form.name = reinterpret_cast<const char16_t*>(info.pName);
    form.width = info.Size.cx;
    form.height = info.Size.cy;
    form.imageableArea = {info.ImageableArea.left, info.ImageableArea.top, info.ImageableArea.right,
                          info.ImageableArea.bottom};
    return form;
}

// A level-1 record pointing at `name`, which must outlive it.
FORM_INFO_1W ToSpooler(const PaperForm& form, std::wstring& name) {
    name.assign(form.name.begin(), form.name.end());
    FORM_INFO_1W info{};
    info.Flags = form.flags;
    info.pName = name.data();
    info.Size = {form.width, form.height};
    info.ImageableArea = {form.imageableArea.left, form.imageableArea.top, form.imageableArea.right,
                          form.imageableArea.bottom};
    return info;
}

std::wstring ZeroTerminated(std::u16string_view name) {
    return std::wstring(name.begin(), name.end());
}

// A buffer of `size` bytes, aligned for the spooler's records; null when memory is short.
std::unique_ptr<DWORD_PTR[]> RecordBuffer(DWORD size) {
    return std::unique_ptr<DWORD_PTR[]>(new (std::nothrow) DWORD_PTR[size / sizeof(DWORD_PTR) + 1]());
}

}  // namespace

// Every method answers a failure of the spooler or of memory as the spooler's refusal.

std::optional<std::vector<PaperForm>> SpoolerFormStore::Enumerate() {
    try {
        std::unique_ptr<DWORD_PTR[]> buffer = RecordBuffer(kProbeSize);
        if (!buffer)
            return std::nullopt;
        DWORD needed = 0;
        DWORD count = 0;
        if (!EnumFormsW(printer_, 1, reinterpret_cast<LPBYTE>(buffer.get()), kProbeSize, &needed, &count)) {
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)
                return std::nullopt;
            buffer = RecordBuffer(needed);
            if (!buffer || !EnumFormsW(printer_, 1, reinterpret_cast<LPBYTE>(buffer.get()), needed, &needed, &count))
                return std::nullopt;
        }
        const auto* records = reinterpret_cast<const FORM_INFO_1W*>(buffer.get());
        std::vector<PaperForm> forms;
        forms.reserve(count);
        for (DWORD i = 0; i < count; ++i)
            forms.push_back(FromSpooler(records[i]));
        return forms;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<PaperForm> SpoolerFormStore::Get(std::u16string_view name) {
    try {
        std::wstring formName = ZeroTerminated(name);
        DWORD needed = 0;
        GetFormW(printer_, formName.data(), 1, nullptr, 0, &needed);
        if (needed < sizeof(FORM_INFO_1W))
            return std::nullopt;
        std::unique_ptr<DWORD_PTR[]> buffer = RecordBuffer(needed);
        if (!buffer || !GetFormW(printer_, formName.data(), 1, reinterpret_cast<LPBYTE>(buffer.get()), needed, &needed))
            return std::nullopt;
        return FromSpooler(*reinterpret_cast<const FORM_INFO_1W*>(buffer.get()));
    } catch (...) {
        return std::nullopt;
    }
}

bool SpoolerFormStore::Add(const PaperForm& form) {
    try {
        std::wstring name;
        FORM_INFO_1W info = ToSpooler(form, name);
        return AddFormW(printer_, 1, reinterpret_cast<LPBYTE>(&info)) != FALSE;
    } catch (...) {
        return false;
    }
}

bool SpoolerFormStore::Set(std::u16string_view name, const PaperForm& form) {
    try {
        std::wstring formName = ZeroTerminated(name);
        std::wstring newName;
        FORM_INFO_1W info = ToSpooler(form, newName);
        return SetFormW(printer_, formName.data(), 1, reinterpret_cast<LPBYTE>(&info)) != FALSE;
    } catch (...) {
        return false;
    }
}

bool SpoolerFormStore::Delete(std::u16string_view name) {
    try {
        std::wstring formName = ZeroTerminated(name);
        // A form that is gone already is what the delete wanted.
        return DeleteFormW(printer_, formName.data()) != FALSE || GetLastError() == ERROR_INVALID_FORM_NAME;
    } catch (...) {
        return false;
    }
}

}  // namespace m450
