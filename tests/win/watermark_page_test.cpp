// The Watermark page ("Water Mark") in a real document sheet opened through M450UI.dll: the
// kinds and their controls, the tiled minimum size, the font size's clamp, the text picture file
// written on apply, and a missing bitmap reported once.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/record_text.h"
#include "document/watermark_bitmap.h"
#include "harness.h"
#include "page_test.h"
#include "screenshot.h"
#include "watermark_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::PageDriver;
using m450test::SheetDriver;

class WatermarkPage : public m450test::PageTest {
  protected:
    // The picture file the printing side reads: the temporary folder, the printer, "1.bmp".
    std::wstring PictureFile() const {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        return std::wstring(temp) + printer_.name() + L"1.bmp";
    }
};

// With M450_PAGE_SHOTS=<folder>, a picture of the sheet as it is now.
void SaveShot(const SheetDriver& sheet, const wchar_t* name) {
    const char* folder = std::getenv("M450_PAGE_SHOTS");
    if (folder == nullptr)
        return;
    sheet.Pump(300);
    std::wstring error;
    const std::string narrow(folder);
    const std::wstring path = std::wstring(narrow.begin(), narrow.end()) + L"\\" + name + L".png";
    EXPECT_TRUE(m450host::SaveWindowPicture(sheet.sheet(), path, &error)) << std::string(error.begin(), error.end());
}

uintmax_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A record whose image watermark names `path`, at a position and size.
std::vector<uint8_t> RecordWithBitmap(SheetDriver& probe,
                                      const std::u16string& path,
                                      int position = 4,
                                      int size = 100) {
    m450::PlugInDevMode dm = probe.DevMode();
    dm.watermarkType = 1;
    dm.printTextAsImage = 1;
    dm.watermarkPosition = static_cast<uint8_t>(position);
    dm.watermarkSize = static_cast<uint8_t>(size);
    m450::StoreRecordText(dm, &m450::PlugInDevMode::watermarkBitmapPath, path);
    const auto bytes = m450::DevModeBytes(dm);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST_F(WatermarkPage, KindsEnableTheirControlsAndTiledKeepsTheMinimumSize) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver page = sheet.ShowPage(L"Water Mark");
    ASSERT_TRUE(page);
    EXPECT_TRUE(page.Checked(IDC_WATERMARK_NONE_RADIO));
    for (const int id : {IDC_WATERMARK_BROWSE_BUTTON, IDC_WATERMARK_TEXT_COMBO, IDC_WATERMARK_POSITION_COMBO,
                         IDC_WATERMARK_SIZE_SLIDER, IDC_WATERMARK_ANGLE_SLIDER})
        EXPECT_FALSE(page.Enabled(id)) << id;
    EXPECT_EQ(page.Items(IDC_WATERMARK_TEXT_COMBO).size(), 8u);
    EXPECT_EQ(page.SelectedText(IDC_WATERMARK_TEXT_COMBO), L"CONFIDENTIAL");
    EXPECT_FALSE(page.Items(IDC_WATERMARK_FONT_COMBO).empty());
    EXPECT_EQ(page.Items(IDC_WATERMARK_POSITION_COMBO).back(), L"Tiled");

    DialogCatcher catcher;
    ASSERT_TRUE(page.Click(IDC_WATERMARK_TEXT_RADIO));
    ASSERT_EQ(catcher.MessageBoxes().size(), 1u);
    EXPECT_EQ(catcher.MessageBoxes()[0].text, L"All Text will be printed as graphics image!");
    EXPECT_TRUE(page.Enabled(IDC_WATERMARK_TEXT_COMBO));
    EXPECT_FALSE(page.Enabled(IDC_WATERMARK_BROWSE_BUTTON));
    EXPECT_TRUE(page.Enabled(IDC_WATERMARK_SIZE_SLIDER));
    EXPECT_EQ(sheet.DevMode().watermarkType, 2);
    EXPECT_EQ(sheet.DevMode().printTextAsImage, 1);

    // Size 10, then tiled: raised to 20; the slider can't go below it while tiled.
    const int size = page.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER);
    ASSERT_TRUE(page.MoveTrackbar(IDC_WATERMARK_SIZE_SLIDER, 10 - size));
    EXPECT_EQ(sheet.DevMode().watermarkSize, 10);
    EXPECT_EQ(page.Text(IDC_WATERMARK_SIZE_VALUE), L"10");
    ASSERT_TRUE(page.Choose(IDC_WATERMARK_POSITION_COMBO, L"Tiled"));
    EXPECT_EQ(sheet.DevMode().watermarkPosition, 9);
    EXPECT_EQ(sheet.DevMode().watermarkSize, 20);
    EXPECT_EQ(page.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER), 20);
    EXPECT_EQ(page.Text(IDC_WATERMARK_SIZE_VALUE), L"20");
    ASSERT_TRUE(page.MoveTrackbar(IDC_WATERMARK_SIZE_SLIDER, -5));
    EXPECT_EQ(page.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER), 20);

    // The font size: 5 stays while typing, becomes 8 when the field is left; 99 gives 72.
    ASSERT_TRUE(page.Type(IDC_WATERMARK_FONT_SIZE_EDIT, L"5"));
    EXPECT_EQ(sheet.DevMode().watermarkFontSize, 5);
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WATERMARK_FONT_SIZE_EDIT, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(page.Control(IDC_WATERMARK_FONT_SIZE_EDIT)));
    EXPECT_EQ(sheet.DevMode().watermarkFontSize, 8);
    EXPECT_EQ(page.Text(IDC_WATERMARK_FONT_SIZE_EDIT), L"8");
    ASSERT_TRUE(page.Type(IDC_WATERMARK_FONT_SIZE_EDIT, L"99"));
    EXPECT_EQ(sheet.DevMode().watermarkFontSize, 72);

    // A 16th character can't be typed into the text field.
    const HWND edit = FindWindowExW(page.Control(IDC_WATERMARK_TEXT_COMBO), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 15);
    EXPECT_EQ(catcher.MessageBoxes().size(), 1u);
}

TEST_F(WatermarkPage, AppliedTextWatermarkWritesItsPictureFile) {
    const std::wstring picture = PictureFile();
    DeleteFileW(picture.c_str());
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver page = sheet.ShowPage(L"Water Mark");
    DialogCatcher catcher;
    ASSERT_TRUE(page.Click(IDC_WATERMARK_TEXT_RADIO));
    ASSERT_TRUE(page.Choose(IDC_WATERMARK_TEXT_COMBO, L"TOP SECRET"));
    ASSERT_TRUE(page.MoveTrackbar(IDC_WATERMARK_ANGLE_SLIDER, 45 - page.TrackbarPosition(IDC_WATERMARK_ANGLE_SLIDER)));
    EXPECT_EQ(page.Text(IDC_WATERMARK_ANGLE_VALUE), L"45");
    const size_t resultsBefore = sheet.host().setResultCalls().size();
    sheet.Apply();
    EXPECT_EQ(FileSize(picture), 270054u);
    const m450::PlugInDevMode dm = sheet.DevMode();
    EXPECT_EQ(dm.watermarkType, 2);
    EXPECT_EQ(dm.watermarkAngle, 45u);
    EXPECT_EQ(m450::RecordText(dm, &m450::PlugInDevMode::watermarkText), u"TOP SECRET");
    EXPECT_GT(sheet.host().setResultCalls().size(), resultsBefore);
    SaveShot(sheet, L"watermark-text-45-en");
}

TEST_F(WatermarkPage, MissingBitmapIsReportedOnce) {
    std::vector<uint8_t> record;
    {
        SheetDriver probe(SheetKind::Document);
        ASSERT_TRUE(probe.ok()) << probe.error();
        record = RecordWithBitmap(probe, u"C:\\no such folder\\missing.bmp");
    }
    m450test::SheetOptions options;
    options.storedRecord = record;
    SheetDriver sheet(SheetKind::Document, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    DialogCatcher catcher;
    PageDriver page = sheet.ShowPage(L"Water Mark");
    ASSERT_TRUE(page);
    EXPECT_TRUE(page.Checked(IDC_WATERMARK_IMAGE_RADIO));
    sheet.Pump(100);
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    int reports = 0;
    for (const m450test::CaughtDialog& box : catcher.MessageBoxes())
        reports += box.text == L"The specified file does not exist!" && box.caption == L"Error";
    EXPECT_EQ(reports, 1);
}

TEST_F(WatermarkPage, TiledBitmapIsConvertedAndPreviewed) {
    // A 300 by 300 picture: a black frame and a black diagonal band on white.
    std::vector<uint8_t> canvas(m450::kWatermarkCanvasBytes, 0xFF);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool black = x < 12 || y < 12 || x >= 288 || y >= 288 || (x - y < 20 && y - x < 20);
            if (black)
                std::fill_n(canvas.begin() + (size_t(y) * 300 + x) * 4, 3, uint8_t{0});
        }
    }
    const std::vector<uint8_t> bmp = m450::TextPictureFromCanvas(canvas);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring source = std::wstring(temp) + L"m450-tile-source.bmp";
    {
        std::ofstream out(std::filesystem::path(source), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    }
    const std::wstring picture = PictureFile();
    DeleteFileW(picture.c_str());
    std::vector<uint8_t> record;
    {
        SheetDriver probe(SheetKind::Document);
        ASSERT_TRUE(probe.ok()) << probe.error();
        record = RecordWithBitmap(probe, std::u16string(source.begin(), source.end()), 9, 30);
    }
    m450test::SheetOptions options;
    options.storedRecord = record;
    SheetDriver sheet(SheetKind::Document, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    DialogCatcher catcher;
    PageDriver page = sheet.ShowPage(L"Water Mark");
    ASSERT_TRUE(page);
    sheet.Pump(100);
    EXPECT_TRUE(catcher.caught().empty());
    EXPECT_EQ(page.SelectedText(IDC_WATERMARK_POSITION_COMBO), L"Tiled");
    EXPECT_EQ(page.Text(IDC_WATERMARK_SIZE_VALUE), L"30");
    EXPECT_EQ(FileSize(picture), bmp.size());
    SaveShot(sheet, L"watermark-tiled-en");
    DeleteFileW(source.c_str());
}

}  // namespace
