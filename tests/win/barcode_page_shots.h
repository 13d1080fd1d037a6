// Pictures of the barcode and font pages for docs/screenshots: written only when the variable
// M450_PAGE_SHOTS names a folder (a Windows path), so ordinary test runs write nothing. With
// M450_PAGE_SHOTS_LANGUAGE=zh the page is repainted in Simplified Chinese for its picture and
// put back afterwards.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

#include "harness.h"
#include "screenshot.h"

namespace m450test {

inline void ShootSheet(HWND sheet, const std::wstring& path) {
    const HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    SendMessageW(page, WM_PAINT, 0, 0);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    m450host::PumpMessages(sheet, 300);
    m450host::SaveWindowPicture(sheet, path, nullptr);
}

inline void SavePageShot(HWND sheet, const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"M450_PAGE_SHOTS", folder, MAX_PATH) == 0)
        return;
    wchar_t language[8] = {};
    GetEnvironmentVariableW(L"M450_PAGE_SHOTS_LANGUAGE", language, 8);
    const std::wstring path = std::wstring(folder) + L"\\" + name;
    if (std::wstring(language) != L"zh") {
        ShootSheet(sheet, path + L"-en.png");
        return;
    }
    {
        LanguageRegistry registry;
        LanguageFiles files;
        files.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res");
        registry.Set(kLanguageValue, L"CHN_M450.res");
        ShootSheet(sheet, path + L"-zh.png");
    }
    SendMessageW(PropSheet_GetCurrentPageHwnd(sheet), WM_PAINT, 0, 0);
}

}  // namespace m450test
