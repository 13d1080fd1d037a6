// m450host: opens M450UI.dll's property sheets the way the printer driver's UI core does, so
// the pages can be seen and used without the real driver.
//
//   m450host prefs [--printer NAME] [--load-devmode FILE] [--save-devmode FILE] [--dll PATH]
//   m450host props [--printer NAME] [--dll PATH]
//   m450host shots DIR [--printer NAME] [--dll PATH]
//   m450host install-printer PORTFILE [--printer NAME]
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host_core.h"
#include "screenshot.h"

namespace {

using m450host::HostSession;
using m450host::SheetKind;

constexpr char kUsage[] =
    "usage: m450host prefs [--printer NAME] [--load-devmode FILE] [--save-devmode FILE] [--dll PATH]\n"
    "       m450host props [--printer NAME] [--dll PATH]\n"
    "       m450host shots DIR [--printer NAME] [--dll PATH]\n"
    "       m450host install-printer PORTFILE [--printer NAME]\n";

void Print(FILE* stream, const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    std::fputs((narrow + "\n").c_str(), stream);
    std::fflush(stream);
}

int Fail(const std::wstring& message) {
    Print(stderr, L"m450host: " + message);
    return 1;
}

// The command's positional arguments and its --name VALUE options.
struct Arguments {
    std::vector<std::wstring> positional;
    std::map<std::wstring, std::wstring> options;

    std::wstring Option(const std::wstring& name, const std::wstring& fallback = {}) const {
        const auto found = options.find(name);
        return found != options.end() ? found->second : fallback;
    }
};

bool ParseArguments(int argc, wchar_t** argv, Arguments* arguments) {
    static const std::vector<std::wstring> kKnown = {L"--printer", L"--load-devmode", L"--save-devmode", L"--dll"};
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.rfind(L"--", 0) != 0) {
            arguments->positional.push_back(argument);
            continue;
        }
        if (std::find(kKnown.begin(), kKnown.end(), argument) == kKnown.end() || i + 1 >= argc)
            return false;
        arguments->options[argument] = argv[++i];
    }
    return true;
}

std::unique_ptr<HostSession> OpenSession(const Arguments& arguments, std::wstring* error) {
    m450host::SessionOptions options;
    options.dllPath = arguments.Option(L"--dll");
    options.printerName = arguments.Option(L"--printer", m450host::kDefaultPrinterName);
    return HostSession::Create(options, error);
}

int RunSheet(SheetKind kind, const Arguments& arguments) {
    std::wstring error;
    auto session = OpenSession(arguments, &error);
    if (session == nullptr)
        return Fail(error);
    const std::wstring load = arguments.Option(L"--load-devmode");
    if (!load.empty() && !session->LoadRecord(load, &error))
        return Fail(error);
    if (session->RunModal(kind) < 0)
        return Fail(L"the property sheet could not be shown");
    const std::wstring save = arguments.Option(L"--save-devmode");
    if (save.empty())
        return 0;
    // Apply commits the settings as OK does; a sheet cancelled without Apply leaves no record.
    if (!session->sheetApplied()) {
        Print(stdout, L"not applied: " + save + L" left as it was");
        return 0;
    }
    if (!session->SaveRecord(save))
        return Fail(L"cannot write " + save);
    Print(stdout, L"saved the private record (" + std::to_wstring(session->record().size()) + L" bytes) to " + save);
    return 0;
}

std::wstring TabText(HWND sheet, int index) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    TabCtrl_GetItem(PropSheet_GetTabControl(sheet), index, &item);
    return text;
}

// "Paper/Quality" -> "-Paper-Quality", "1D Code" -> "-1D-Code"; accelerator marks dropped.
// Only ASCII goes into a file name (a Chinese tab title names no file on every system): a
// title without any gives the empty part, and the file is named by the page's position.
std::wstring FileNamePart(const std::wstring& text) {
    std::wstring part;
    for (wchar_t c : text) {
        if (c == L'&' || c > 0x7E)
            continue;
        part += (c < 0x20 || std::wstring_view(L" \\/:*?\"<>|").find(c) != std::wstring_view::npos) ? L'-' : c;
    }
    while (!part.empty() && part.back() == L'-')
        part.pop_back();
    return part.empty() ? part : L"-" + part;
}

// One picture per page of one sheet: each page activated in turn, as a click on its tab does.
bool ShootSheet(HostSession& session,
                SheetKind kind,
                const std::wstring& prefix,
                const std::wstring& directory,
                const std::wstring& shownDirectory) {
    HWND sheet = session.OpenModeless(kind);
    if (sheet == nullptr)
        return Fail(L"the " + prefix + L" sheet could not be shown") == 0;
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    m450host::PumpMessages(sheet, 300);
    bool ok = true;
    const int pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
    for (int i = 0; i < pages; ++i) {
        PropSheet_SetCurSel(sheet, nullptr, i);
        m450host::PumpMessages(sheet, 150);
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        m450host::PumpMessages(sheet, 250);
        const std::wstring name =
            prefix + L"-" + std::to_wstring(i + 1) + FileNamePart(TabText(sheet, i)) + L".png";
        std::wstring error;
        if (m450host::SaveWindowPicture(sheet, directory + L"\\" + name, &error)) {
            Print(stdout, shownDirectory + L"/" + name);
        } else {
            ok = false;
            Fail(name + L": " + error);
        }
    }
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
    m450host::PumpMessages(sheet, 50);
    session.CloseSheet();
    return ok;
}

int Shots(const Arguments& arguments) {
    if (arguments.positional.size() != 1)
        return Fail(L"shots needs the folder to write the pictures to");
    const std::wstring shown = arguments.positional[0];
    const std::wstring directory = m450host::WindowsPath(shown);
    if (!CreateDirectoryW(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Fail(L"cannot create " + shown);
    std::wstring error;
    auto session = OpenSession(arguments, &error);
    if (session == nullptr)
        return Fail(error);
    const bool prefs = ShootSheet(*session, SheetKind::Document, L"prefs", directory, shown);
    const bool props = ShootSheet(*session, SheetKind::Device, L"props", directory, shown);
    return prefs && props ? 0 : 1;
}

int InstallPrinter(const Arguments& arguments) {
    if (arguments.positional.size() != 1)
        return Fail(L"install-printer needs the file the printer's port writes to");
    const std::wstring name = arguments.Option(L"--printer", m450host::kDefaultPrinterName);
    const std::wstring port = m450host::WindowsPath(arguments.positional[0]);
    std::wstring error;
    if (!m450host::InstallFilePortPrinter(name, port, &error))
        return Fail(error);
    Print(stdout, L"printer \"" + name + L"\" prints to " + port);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Arguments arguments;
    if (argc < 2 || !ParseArguments(argc, argv, &arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"prefs" || command == L"props") {
        if (!arguments.positional.empty()) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return RunSheet(command == L"prefs" ? SheetKind::Document : SheetKind::Device, arguments);
    }
    if (command == L"shots")
        return Shots(arguments);
    if (command == L"install-printer")
        return InstallPrinter(arguments);
    std::fputs(kUsage, stderr);
    return 2;
}
