#include "core/raw_channel_win.h"

#include <winspool.h>

#include <algorithm>

namespace m450 {
namespace {

// Spooler texts are UTF-16 on both sides of this file.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// Document names are short constants; a longer one is cut, it only labels the job.
constexpr size_t kDocumentNameCapacity = 128;

HANDLE Printer(void* context) {
    return static_cast<HANDLE>(context);
}

bool StartDoc(void* context, std::u16string_view documentName) {
    wchar_t name[kDocumentNameCapacity] = {};
    const size_t length = std::min(documentName.size(), kDocumentNameCapacity - 1);
    std::copy_n(documentName.begin(), length, name);
    wchar_t dataType[] = L"RAW";
    DOC_INFO_1W info = {name, nullptr, dataType};
    return StartDocPrinterW(Printer(context), 1, reinterpret_cast<LPBYTE>(&info)) != 0;
}

bool StartPage(void* context) {
    return StartPagePrinter(Printer(context)) != FALSE;
}

bool Write(void* context, const uint8_t* data, uint32_t length, uint32_t* written) {
    DWORD count = 0;
    const bool ok = WritePrinter(Printer(context), const_cast<uint8_t*>(data), length, &count) != FALSE;
    if (written != nullptr)
        *written = count;
    return ok;
}

bool EndPage(void* context) {
    return EndPagePrinter(Printer(context)) != FALSE;
}

bool EndDoc(void* context) {
    return EndDocPrinter(Printer(context)) != FALSE;
}

}  // namespace

SpoolerCalls WinspoolCalls(HANDLE printer) {
    return SpoolerCalls{printer, StartDoc, StartPage, Write, EndPage, EndDoc};
}

}  // namespace m450
