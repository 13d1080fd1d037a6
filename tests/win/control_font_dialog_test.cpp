// The control-font dialogs, opened through M450UI.dll from the Utility page's hidden "Control
// Font" button of a real device sheet, on the translation file in the prefix's driver folder:
// the 96 rows and what the file says, editing through the translator (its hex filter and its
// 128-byte limit), deleting, saving, cancelling, and a save that fails.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control_font_ids.h"
#include "expect.h"
#include "harness.h"
#include "screenshot.h"
#include "utility_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::PageDriver;
using m450test::SheetDriver;

constexpr int kRowA = 0x41 - 0x20;
constexpr int kRowB = 0x42 - 0x20;

std::wstring DriverFolder() {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\system32\\spool\\drivers\\w32x86\\3";
}

std::wstring TablePath() {
    return DriverFolder() + L"\\M450CONTROL.dat";
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::wstring Cell(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void SelectRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Pictures for the documentation when M450_SHOTS names a folder.
void Picture(HWND window, const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"M450_SHOTS", folder, MAX_PATH) == 0)
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    m450host::PumpMessages(window, 200);
    std::wstring error;
    m450host::SaveWindowPicture(window, std::wstring(folder) + L"\\" + name, &error);
}

class ControlFontDialogs : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(printer_.ok());
        ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
        ASSERT_TRUE(registry_.Set(m450test::kFirstRunValue, L"FALSE"));
        SHCreateDirectoryExW(nullptr, DriverFolder().c_str(), nullptr);
        saved_ = m450host::ReadFileBytes(TablePath());
        DeleteFileW(TablePath().c_str());
    }
    void TearDown() override {
        const std::wstring beside = TablePath() + L".new";
        DeleteFileW((beside + L"\\keep").c_str());
        RemoveDirectoryW(beside.c_str());
        DeleteFileW(TablePath().c_str());
        if (saved_)
            m450host::WriteFileBytes(TablePath(), *saved_);
    }

    void WriteTable(std::string_view text) { ASSERT_TRUE(m450host::WriteFileBytes(TablePath(), Bytes(text))); }
    std::optional<std::vector<uint8_t>> Table() const { return m450host::ReadFileBytes(TablePath()); }

    // Opens the table from the Utility page's hidden button and runs `act` inside it. The
    // handler closes the table itself (OK or Cancel, as `act` decides).
    void WithTable(const std::function<void(HWND table)>& act) {
        SheetDriver sheet(SheetKind::Device);
        ASSERT_TRUE(sheet.ok());
        PageDriver page = sheet.ShowPage(L"Utility");
        ASSERT_TRUE(page);
        ASSERT_FALSE(page.Visible(IDC_UTILITY_CONTROL_FONT_BUTTON));
        bool opened = false;
        catcher_.Then([&](HWND table) {
            opened = true;
            act(table);
            if (IsWindowVisible(table))
                Press(table, IDCANCEL);
            return 0;
        });
        Press(page.hwnd(), IDC_UTILITY_CONTROL_FONT_BUTTON);
        EXPECT_TRUE(opened);
    }

    m450test::PrinterFixture printer_;
    m450test::LanguageRegistry registry_;
    DialogCatcher catcher_;
    std::optional<std::vector<uint8_t>> saved_;
};

TEST_F(ControlFontDialogs, TableShowsTheFileAndTheTranslatorReformatsOnOk) {
    WriteTable("[Character Translation Table]\r\n41=1B 21 08\r\n");
    std::wstring translatorChar, translatorHex, translatorCommand, afterFilter;
    WithTable([&](HWND table) {
        EXPECT_EQ(PageDriver(table).Text(IDC_TRANSLATION_DRIVER_NAME_EDIT), L"KVL-M450 Printer Driver");
        const HWND list = GetDlgItem(table, IDC_TRANSLATION_LIST);
        ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 96);
        EXPECT_EQ(Cell(list, 0, 0), L" ");
        EXPECT_EQ(Cell(list, 0, 1), L"20");
        EXPECT_EQ(Cell(list, 95, 1), L"7F");
        EXPECT_EQ(Cell(list, kRowA, 0), L"A");
        EXPECT_EQ(Cell(list, kRowA, 1), L"41");
        EXPECT_EQ(Cell(list, kRowA, 2), L"1B 21 08");
        EXPECT_EQ(Cell(list, kRowB, 2), L"");

        // Edit with nothing selected does nothing.
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_EDIT_BUTTON));
        EXPECT_EQ(catcher_.caught().size(), 1u);

        // A double click opens the translator on the selected row; OK unchanged reformats.
        SelectRow(list, kRowA);
        catcher_.Then([&](HWND translator) {
            PageDriver dialog(translator);
            translatorChar = dialog.Text(IDC_TRANSLATOR_CHAR_EDIT);
            translatorHex = dialog.Text(IDC_TRANSLATOR_HEX_EDIT);
            translatorCommand = dialog.Text(IDC_TRANSLATOR_COMMAND_EDIT);
            const HWND command = dialog.Control(IDC_TRANSLATOR_COMMAND_EDIT);
            SendMessageW(command, WM_CHAR, L'G', 0);  // the hex filter drops it
            afterFilter = dialog.Text(IDC_TRANSLATOR_COMMAND_EDIT);
            Picture(translator, L"control-font-translator.png");
            return IDOK;
        });
        NMHDR click{list, IDC_TRANSLATION_LIST, static_cast<UINT>(NM_DBLCLK)};
        SendMessageW(table, WM_NOTIFY, IDC_TRANSLATION_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(Cell(list, kRowA, 2), L"1B 21 08 ");
        Picture(table, L"control-font-table.png");
        Press(table, IDOK);
    });
    EXPECT_EQ(translatorChar, L"A");
    EXPECT_EQ(translatorHex, L"41");
    EXPECT_EQ(translatorCommand, L"1B 21 08 ");
    EXPECT_EQ(afterFilter, translatorCommand);
    EXPECT_TRUE(catcher_.MessageBoxes().empty());
    EXPECT_EQ(Table(), Bytes("[Character Translation Table]\r\n41=1B 21 08 \r\n"));
}

TEST_F(ControlFontDialogs, TranslatorRefuses129BytesAndTheTableRefusesLongRows) {
    std::string longRow = "[Character Translation Table]\r\n42=";
    for (int i = 0; i < 129; ++i)
        longRow += "00";
    longRow += "\r\n41=1B 21 08\r\n";
    WriteTable(longRow);
    const std::optional<std::vector<uint8_t>> before = Table();
    std::wstring stillOpenText;
    bool stillOpen = false;
    WithTable([&](HWND table) {
        const HWND list = GetDlgItem(table, IDC_TRANSLATION_LIST);
        // A row of 129 bytes is not opened for editing.
        SelectRow(list, kRowB);
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_EDIT_BUTTON));
        m450test::ExpectOneBox(catcher_, L"Error", L"Command length error");
        EXPECT_EQ(catcher_.caught().size(), 2u);  // the table and the message, no translator

        // 129 bytes typed into the translator: refused, the dialog stays.
        SelectRow(list, kRowA);
        catcher_.Then([&](HWND translator) {
            std::wstring text;
            for (int i = 0; i < 129; ++i)
                text += L"7F ";
            PageDriver(translator).Type(IDC_TRANSLATOR_COMMAND_EDIT, text);
            Press(translator, IDOK);
            stillOpen = IsWindowVisible(translator) != FALSE;
            stillOpenText = PageDriver(translator).Text(IDC_TRANSLATOR_COMMAND_EDIT);
            return IDCANCEL;
        });
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_EDIT_BUTTON));
        EXPECT_EQ(Cell(list, kRowA, 2), L"1B 21 08");
        Press(table, IDCANCEL);
    });
    const std::vector<m450test::CaughtDialog> boxes = catcher_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, L"Command length error!");
    EXPECT_EQ(boxes[1].caption, L"Error");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(stillOpenText.size(), 129u * 3);
    EXPECT_EQ(Table(), before);
}

TEST_F(ControlFontDialogs, DeleteAndOkRemovesTheKeyCancelTouchesNothing) {
    const std::string_view original = "[Character Translation Table]\r\n41=1B 21 08\r\n42=1d 56 42 00\r\n";
    WriteTable(original);

    // Cancel after an edit and a delete: the file stays byte for byte.
    WithTable([&](HWND table) {
        const HWND list = GetDlgItem(table, IDC_TRANSLATION_LIST);
        SelectRow(list, kRowA);
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_DELETE_BUTTON));
        EXPECT_EQ(Cell(list, kRowA, 2), L"");
        Press(table, IDCANCEL);
    });
    EXPECT_EQ(Table(), Bytes(original));

    // Delete and OK: the key is gone, the untouched row is saved as it was.
    WithTable([&](HWND table) {
        SelectRow(GetDlgItem(table, IDC_TRANSLATION_LIST), kRowA);
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_DELETE_BUTTON));
        Press(table, IDOK);
    });
    EXPECT_EQ(Table(), Bytes("[Character Translation Table]\r\n42=1d 56 42 00\r\n"));

    // Every command deleted: no file at all.
    WithTable([&](HWND table) {
        SelectRow(GetDlgItem(table, IDC_TRANSLATION_LIST), kRowB);
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_DELETE_BUTTON));
        Press(table, IDOK);
    });
    EXPECT_FALSE(Table().has_value());
    EXPECT_TRUE(catcher_.MessageBoxes().empty());
}

// A table file another program holds without sharing: shown empty, its OK would replace the
// commands in it, so the table does not open and the file stays.
TEST_F(ControlFontDialogs, TableThatCannotBeReadIsNotOpenedNorReplaced) {
    const std::string_view original = "[Character Translation Table]\r\n41=1B 21 08\r\n42=1d 56 42 00\r\n";
    WriteTable(original);
    SheetDriver sheet(SheetKind::Device);
    ASSERT_TRUE(sheet.ok());
    PageDriver page = sheet.ShowPage(L"Utility");
    ASSERT_TRUE(page);
    const HANDLE held = CreateFileW(TablePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Press(page.hwnd(), IDC_UTILITY_CONTROL_FONT_BUTTON);
    CloseHandle(held);
    ASSERT_EQ(catcher_.caught().size(), 1u);  // the message, no table
    m450test::ExpectOneBox(catcher_, L"Error", L"Please check if user has administrator privileges!");
    EXPECT_EQ(Table(), Bytes(original));

    // Released again, it opens with its commands.
    std::wstring command;
    WithTable([&](HWND table) {
        command = Cell(GetDlgItem(table, IDC_TRANSLATION_LIST), kRowB, 2);
        Press(table, IDCANCEL);
    });
    EXPECT_EQ(command, L"1d 56 42 00");
}

// A folder where the new file would be written beside the old one: the save cannot complete.
TEST_F(ControlFontDialogs, FailedSaveKeepsTheOldFileAndTheDialogOpen) {
    const std::string_view original = "[Character Translation Table]\r\n41=1B 21 08\r\n";
    WriteTable(original);
    const std::wstring beside = TablePath() + L".new";
    ASSERT_TRUE(CreateDirectoryW(beside.c_str(), nullptr));
    ASSERT_TRUE(m450host::WriteFileBytes(beside + L"\\keep", Bytes("x")));
    bool openAfterOk = false;
    WithTable([&](HWND table) {
        SelectRow(GetDlgItem(table, IDC_TRANSLATION_LIST), kRowA);
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_DELETE_BUTTON));
        SelectRow(GetDlgItem(table, IDC_TRANSLATION_LIST), kRowB);
        catcher_.Then([](HWND translator) {
            PageDriver(translator).Type(IDC_TRANSLATOR_COMMAND_EDIT, L"1b40");
            return IDOK;
        });
        ASSERT_TRUE(PageDriver(table).Click(IDC_TRANSLATION_EDIT_BUTTON));
        Press(table, IDOK);
        openAfterOk = IsWindowVisible(table) != FALSE;
    });
    m450test::ExpectOneBox(catcher_, L"Error", L"Please check if user has administrator privileges!");
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(Table(), Bytes(original));
}

}  // namespace
