#include "sheet_tour.h"

#include <commctrl.h>

#include <cstring>

#include "control_font_ids.h"
#include "document/record_text.h"
#include "download_page_ids.h"
#include "event_dialog_ids.h"
#include "operation_page_ids.h"
#include "utility_page_ids.h"
#include "watermark_page_ids.h"

namespace m450test {
namespace {

// The open-file dialog's file-name field (an edit, or a combo box in some layouts).
constexpr int kRowOfA = 0x41 - 0x20;

void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectListRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int ShowEveryPage(SheetDriver& sheet) {
    int shown = 0;
    const int tabs = static_cast<int>(sheet.TabTexts().size());
    for (int i = 0; i < tabs; ++i)
        shown += sheet.ShowPage(i) ? 1 : 0;
    return shown;
}

bool ShowPluginPages(SheetDriver& sheet, const std::vector<std::wstring>& tabs) {
    bool shown = true;
    for (const std::wstring& tab : tabs)
        shown = sheet.ShowPage(tab, 0) && shown;  // each painted, no waiting
    return shown;
}

std::vector<uint8_t> RecordWithImageWatermark(const std::wstring& path) {
    std::wstring error;
    const std::unique_ptr<m450host::HostSession> session = m450host::HostSession::Create({}, &error);
    m450::PlugInDevMode dm{};
    if (session == nullptr)
        return {};
    const std::span<const uint8_t> bytes = session->record();
    std::memcpy(&dm, bytes.data(), std::min(bytes.size(), sizeof(dm)));
    dm.watermarkType = 1;
    dm.printTextAsImage = 1;
    dm.watermarkPosition = 4;
    dm.watermarkSize = 100;
    m450::StoreRecordText(dm, &m450::PlugInDevMode::watermarkBitmapPath, std::u16string(path.begin(), path.end()));
    const std::span<const uint8_t> record = m450::DevModeBytes(dm);
    return std::vector<uint8_t>(record.begin(), record.end());
}

bool TourDocumentSheet(SheetDriver& sheet, bool confirm) {
    DialogCatcher catcher;  // answers the message boxes the watermark kinds bring up
    bool done = ShowPluginPages(sheet, kDocumentPageTabs);

    PageDriver watermark = sheet.ShowPage(L"Water Mark");
    done = done && watermark;
    sheet.Pump(10);
    SendMessageW(watermark.hwnd(), WM_PAINT, 0, 0);  // the image preview
    done = done && watermark.Click(IDC_WATERMARK_TEXT_RADIO);
    done = done && watermark.Choose(IDC_WATERMARK_TEXT_COMBO, L"TOP SECRET");
    SendMessageW(watermark.hwnd(), WM_PAINT, 0, 0);  // the text preview
    done = done && watermark.Click(IDC_WATERMARK_IMAGE_RADIO);
    SendMessageW(watermark.hwnd(), WM_PAINT, 0, 0);

    PageDriver operation = sheet.ShowPage(L"Operation");
    done = done && operation;
    bool opened = false;
    catcher.Then([&](HWND dialog) {
        opened = true;
        PageDriver event(dialog);
        event.Choose(IDC_EVENT_CUT_COMBO, 2);
        event.Click(IDC_EVENT_FEED_TO_CUT_CHECK);
        return confirm ? IDOK : IDCANCEL;
    });
    done = done && operation.Click(IDC_OPERATION_START_DOC_BUTTON) && opened;
    return done;
}

bool TourDeviceSheet(SheetDriver& sheet, const std::wstring& logoPath) {
    bool done = ShowPluginPages(sheet, kDevicePageTabs);

    PageDriver utility = sheet.ShowPage(L"Utility");
    done = done && utility;
    {
        DialogCatcher catcher;
        bool table = false;
        bool translator = false;
        catcher.Then([&](HWND dialog) {
            table = true;
            SelectListRow(GetDlgItem(dialog, IDC_TRANSLATION_LIST), kRowOfA);
            DialogCatcher* self = &catcher;
            self->Then([&](HWND) {
                translator = true;
                return IDCANCEL;
            });
            Press(dialog, IDC_TRANSLATION_EDIT_BUTTON);
            if (IsWindowVisible(dialog))
                Press(dialog, IDCANCEL);
            return 0;
        });
        Press(utility.hwnd(), IDC_UTILITY_CONTROL_FONT_BUTTON);
        done = done && table && translator;
    }

    PageDriver download = sheet.ShowPage(L"Download");
    done = done && download && AddLogo(download, logoPath) && LogoRows(download) == 1;
    SelectLogo(download, 0);
    done = done && download.Click(IDC_DOWNLOAD_MONO_RADIO);
    SendMessageW(download.hwnd(), WM_PAINT, 0, 0);
    done = done && download.Click(IDC_DOWNLOAD_GRAY_RADIO);
    SendMessageW(download.hwnd(), WM_PAINT, 0, 0);
    return done;
}

bool AddLogo(PageDriver& download, const std::wstring& path) {
    DialogCatcher catcher;
    catcher.Then(ChooseFile(path));
    const int before = LogoRows(download);
    return download.Click(IDC_DOWNLOAD_LOGO_ADD_BUTTON) && LogoRows(download) == before + 1;
}

void SelectLogo(PageDriver& download, int row) {
    download.ClickRow(IDC_DOWNLOAD_LOGO_LIST, row);
}

int LogoRows(const PageDriver& download) {
    return static_cast<int>(SendMessageW(download.Control(IDC_DOWNLOAD_LOGO_LIST), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring WatermarkPictureFile(const std::wstring& printer) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + printer + L"1.bmp";
}

}  // namespace m450test
