// A program of the tests: another application's property sheet of the same printer, a top-level
// dialog titled "KVL-M450 Properties" with a tab control as a sheet has one. It records every
// message that reaches the dialog or its tabs from outside its own thread (what another process
// sends), and every tab-retitling message whatever its source, so that a test can prove that a
// language switch in its own process sends it nothing.
//
//   foreign_sheet_window.exe REPORT-FILE
//
// Named events, with this process's id in their names, drive it:
//   Local\m450-foreign-<pid>-ready  set by the window when it is shown, and after each reset
//   Local\m450-foreign-<pid>-reset  set by the test: forget what was recorded so far
//   Local\m450-foreign-<pid>-done   set by the test: write the report and end
// The report is one line per count: "TCM_SETITEMW <n>", "foreign <n>", then
// "message 0x<id> <n>" for each message that came from outside. The exit code is the number of
// TCM_SETITEMW plus foreign messages (0: nothing arrived).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kTabControlId = 0x3020;  // where a property sheet keeps its tabs

struct Record {
    long retitles = 0;
    std::map<UINT, long> foreign;
    long ForeignCount() const {
        long total = 0;
        for (const auto& [id, count] : foreign)
            total += count;
        return total;
    }
};
Record g_record;
WNDPROC g_tabProcedure = nullptr;

bool FromOutside() {
    return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) != 0;
}

LRESULT CALLBACK TabProcedure(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam) {
    if (FromOutside())
        ++g_record.foreign[message];
    if (message == TCM_SETITEMW) {
        // Its pointer is another process's: never read it.
        ++g_record.retitles;
        return FALSE;
    }
    return CallWindowProcW(g_tabProcedure, tabs, message, wParam, lParam);
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (FromOutside())
        ++g_record.foreign[message];
    if (message == WM_INITDIALOG)
        return TRUE;
    return FALSE;
}

// A caption-bearing pop-up dialog, no controls: the tab control is added as a child after.
std::wstring DialogTemplateWords(const wchar_t* title) {
    std::wstring words;
    auto put = [&](DWORD value) {
        words += static_cast<wchar_t>(value & 0xFFFF);
        words += static_cast<wchar_t>(value >> 16);
    };
    put(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);  // style
    put(0);                                                   // extended style
    words += static_cast<wchar_t>(0);                         // no items
    for (const short value : {10, 10, 260, 180})
        words += static_cast<wchar_t>(value);
    words += static_cast<wchar_t>(0);  // no menu
    words += static_cast<wchar_t>(0);  // the dialog class
    words += title;
    words += static_cast<wchar_t>(0);
    return words;
}

void WriteReport(const wchar_t* path) {
    FILE* file = _wfopen(path, L"wb");
    if (file == nullptr)
        return;
    std::fprintf(file, "TCM_SETITEMW %ld\nforeign %ld\n", g_record.retitles, g_record.ForeignCount());
    for (const auto& [id, count] : g_record.foreign)
        std::fprintf(file, "message 0x%04X %ld\n", id, count);
    std::fclose(file);
}

HANDLE Event(const wchar_t* which) {
    const std::wstring name = L"Local\\m450-foreign-" + std::to_wstring(GetCurrentProcessId()) + L"-" + which;
    return CreateEventW(nullptr, FALSE, FALSE, name.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 100;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const HANDLE ready = Event(L"ready");
    const HANDLE reset = Event(L"reset");
    const HANDLE done = Event(L"done");

    const std::wstring words = DialogTemplateWords(L"KVL-M450 Properties");
    const HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr, &DialogProcedure, 0);
    if (dialog == nullptr)
        return 101;
    const HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE, 8, 8, 400, 260, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabControlId)), nullptr, nullptr);
    if (tabs == nullptr)
        return 102;
    const wchar_t* titles[] = {L"General", L"Sharing",  L"Ports", L"Advanced",
                               L"Utility", L"Download", L"Font",  L"Version"};
    for (int i = 0; i < static_cast<int>(std::size(titles)); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(titles[i]);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    g_tabProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(tabs, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TabProcedure)));
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    UpdateWindow(dialog);
    SetEvent(ready);

    const HANDLE waits[] = {reset, done};
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(2, waits, FALSE, 60000, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            g_record = {};
            SetEvent(ready);
        } else if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_TIMEOUT) {
            break;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    WriteReport(argv[1]);
    DestroyWindow(dialog);
    return static_cast<int>(g_record.retitles + g_record.ForeignCount());
}
