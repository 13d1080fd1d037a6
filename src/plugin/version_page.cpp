#include "plugin/version_page.h"

#include <prsht.h>
#include <shellapi.h>

#include <array>
#include <optional>

#include "core/language_win.h"
#include "core/page_procedure_win.h"
#include "core/version_link.h"
#include "version_page_ids.h"

namespace m450 {
namespace {

// One copy of the page, owned by its window: whether the link shows as hovered, and the link's
// fonts (made at WM_INITDIALOG, released when the page is destroyed).
struct VersionPageState {
    bool hovered = false;
    HFONT plainFont = nullptr;
    HFONT underlinedFont = nullptr;
};

constexpr std::array<ControlText, 8> kTexts = {{
    {IDC_VERSION_DRIVER_NAME, TextId::VERSION_RC_STATIC_VER1},
    {IDC_VERSION_RIGHTS, TextId::VERSION_RC_STATIC_VER2},
    {IDC_VERSION_RIGHTS_NOTICE, TextId::VERSION_RC_STATIC_VER3},
    {IDC_VERSION_PRODUCT_HEADING, TextId::VERSION_RC_STATIC_VER4},
    {IDC_VERSION_PRODUCT_INFO, TextId::VERSION_RC_STATIC_VER5},
    {IDC_VERSION_ADDITIONAL_HEADING, TextId::VERSION_RC_STATIC_VER6},
    {IDC_VERSION_LINK, TextId::VERSION_RC_STATIC_VER7},
    {IDC_VERSION_WARNING, TextId::VERSION_RC_STATIC_VER9},
}};

HFONT CreateLinkFont(bool underline) {
    return CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"MS Shell Dlg");
}

void SetLinkFont(HWND page, HFONT font) {
    if (font != nullptr)
        SendDlgItemMessageW(page, IDC_VERSION_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ReleaseFonts(HWND page, VersionPageState& state) {
    // The link goes back to the page's own font before its fonts are deleted.
    SendDlgItemMessageW(page, IDC_VERSION_LINK, WM_SETFONT, SendMessageW(page, WM_GETFONT, 0, 0), FALSE);
    for (HFONT* font : {&state.plainFont, &state.underlinedFont}) {
        if (*font != nullptr)
            DeleteObject(*font);
        *font = nullptr;
    }
}

PixelRect ToPixelRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The link's rectangle in the page's client coordinates, as it is laid out now.
PixelRect CurrentLinkRect(HWND page) {
    const HWND link = GetDlgItem(page, IDC_VERSION_LINK);
    RECT pageWindow{}, linkWindow{}, pageClient{}, linkClient{};
    if (link == nullptr || !GetWindowRect(page, &pageWindow) || !GetWindowRect(link, &linkWindow) ||
        !GetClientRect(page, &pageClient) || !GetClientRect(link, &linkClient))
        return {};
    return LinkRect(ToPixelRect(pageWindow), ToPixelRect(linkWindow), ToPixelRect(pageClient), ToPixelRect(linkClient),
                    Texts().View(TextId::VERSION_RC_STATIC_VER7).size());
}

bool PointerOnLink(HWND page, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    return Contains(CurrentLinkRect(page), x, y);
}

void SetPointer(LPCWSTR cursor) {
    SetCursor(LoadCursorW(nullptr, cursor));
}

// The font changes only when the pointer crosses the rectangle's edge.
void TrackHover(HWND page, LPARAM lParam, VersionPageState& state) {
    if (PointerOnLink(page, lParam)) {
        SetPointer(IDC_HAND);
        if (!state.hovered) {
            SetLinkFont(page, state.underlinedFont);
            state.hovered = true;
        }
    } else if (state.hovered) {
        SetPointer(IDC_ARROW);
        SetLinkFont(page, state.plainFont);
        state.hovered = false;
    }
}

void OpenLinkIfClicked(HWND page, LPARAM lParam) {
    if (!PointerOnLink(page, lParam)) {
        SetPointer(IDC_ARROW);
        return;
    }
    ShellExecuteW(nullptr, L"open", WText(TextId::VERSION_RC_STATIC_VER7), nullptr, nullptr, SW_SHOW);
    SetPointer(IDC_HAND);
}

// The focus stays where the sheet put it.
INT_PTR Start(HWND page, VersionPageState& state, LPARAM) {
    state.plainFont = CreateLinkFont(false);
    state.underlinedFont = CreateLinkFont(true);
    SetLinkFont(page, state.plainFont);
    return FALSE;
}

// The page has nothing to apply: it takes the sheet's notifications without reporting.
std::optional<INT_PTR> OnNotify(HWND, VersionPageState&, const NMHDR& header) {
    return header.code == PSN_SETACTIVE || header.code == PSN_KILLACTIVE || header.code == PSN_APPLY;
}

INT_PTR OnCommand(HWND, VersionPageState&, WORD, WORD code) {
    return code == 0;
}

INT_PTR OnPointer(HWND page, VersionPageState& state, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            TrackHover(page, lParam, state);
            return FALSE;
        case WM_LBUTTONUP:
            OpenLinkIfClicked(page, lParam);
            return FALSE;
        default:
            return FALSE;
    }
}

constexpr PageParts<VersionPageState> PartsOn(PageHost host) {
    return {
        .host = host,
        .section = kVersionSection,
        .texts = kTexts,
        .start = Start,
        .command = OnCommand,
        .notify = OnNotify,
        .other = OnPointer,
        .finish = ReleaseFonts,
    };
}
constexpr PageParts<VersionPageState> kDocumentParts = PartsOn(PageHost::DocumentSheet);
constexpr PageParts<VersionPageState> kDeviceParts = PartsOn(PageHost::DeviceSheet);

}  // namespace

INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kDocumentParts, page, message, wParam, lParam);
}

INT_PTR CALLBACK DeviceVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kDeviceParts, page, message, wParam, lParam);
}

}  // namespace m450
