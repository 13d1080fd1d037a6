// The Watermark page ("Water Mark") in a real document sheet opened through M450UI.dll: the
// kinds and their controls, the tiled minimum size, the font size's clamp, the text picture file
// written on apply, a missing bitmap reported once, bitmaps Browse refuses (too big, a path the
// record can't hold), Apply with lists showing no selection, and the preview read back from the
// screen (a text at 45 degrees, an image where the placement puts it).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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
using m450test::ChooseFile;
using m450test::ExpectControls;
using m450test::ExpectOneBox;
using enum m450test::ControlState;
using m450test::DialogCatcher;
using m450test::PageDriver;
using m450test::SheetDriver;

class WatermarkPage : public m450test::PageTest {
  protected:
    // The Water Mark page of a document sheet, over a stored record when the options hold one.
    void OpenWatermark(const m450test::SheetOptions& options = {}) {
        OpenPage(SheetKind::Document, L"Water Mark", options);
    }
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

// An image watermark naming `path`, at a position and size.
void NameBitmap(m450::PlugInDevMode& dm, const std::u16string& path, int position = 4, int size = 100) {
    dm.watermarkType = 1;
    dm.printTextAsImage = 1;
    dm.watermarkPosition = static_cast<uint8_t>(position);
    dm.watermarkSize = static_cast<uint8_t>(size);
    m450::StoreRecordText(dm, &m450::PlugInDevMode::watermarkBitmapPath, path);
}

TEST_F(WatermarkPage, KindsEnableTheirControlsAndTiledKeepsTheMinimumSize) {
    ASSERT_NO_FATAL_FAILURE(OpenWatermark());
    ExpectControls(page_, {{IDC_WATERMARK_NONE_RADIO, Checked},
                           {IDC_WATERMARK_BROWSE_BUTTON, Disabled},
                           {IDC_WATERMARK_TEXT_COMBO, Disabled},
                           {IDC_WATERMARK_POSITION_COMBO, Disabled},
                           {IDC_WATERMARK_SIZE_SLIDER, Disabled},
                           {IDC_WATERMARK_ANGLE_SLIDER, Disabled}});
    EXPECT_EQ(page_.Items(IDC_WATERMARK_TEXT_COMBO).size(), 8u);
    EXPECT_EQ(page_.SelectedText(IDC_WATERMARK_TEXT_COMBO), L"CONFIDENTIAL");
    EXPECT_FALSE(page_.Items(IDC_WATERMARK_FONT_COMBO).empty());
    EXPECT_EQ(page_.Items(IDC_WATERMARK_POSITION_COMBO).back(), L"Tiled");

    DialogCatcher catcher;
    ASSERT_TRUE(page_.Click(IDC_WATERMARK_TEXT_RADIO));
    ExpectOneBox(catcher, L"Information", L"All Text will be printed as graphics image!");
    ExpectControls(page_, {{IDC_WATERMARK_TEXT_COMBO, Enabled},
                           {IDC_WATERMARK_BROWSE_BUTTON, Disabled},
                           {IDC_WATERMARK_SIZE_SLIDER, Enabled}});
    EXPECT_EQ(sheet_->DevMode().watermarkType, 2);
    EXPECT_EQ(sheet_->DevMode().printTextAsImage, 1);

    // Size 10, then tiled: raised to 20; the slider can't go below it while tiled.
    const int size = page_.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER);
    ASSERT_TRUE(page_.MoveTrackbar(IDC_WATERMARK_SIZE_SLIDER, 10 - size));
    EXPECT_EQ(sheet_->DevMode().watermarkSize, 10);
    EXPECT_EQ(page_.Text(IDC_WATERMARK_SIZE_VALUE), L"10");
    ASSERT_TRUE(page_.Choose(IDC_WATERMARK_POSITION_COMBO, L"Tiled"));
    EXPECT_EQ(sheet_->DevMode().watermarkPosition, 9);
    EXPECT_EQ(sheet_->DevMode().watermarkSize, 20);
    EXPECT_EQ(page_.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER), 20);
    EXPECT_EQ(page_.Text(IDC_WATERMARK_SIZE_VALUE), L"20");
    ASSERT_TRUE(page_.MoveTrackbar(IDC_WATERMARK_SIZE_SLIDER, -5));
    EXPECT_EQ(page_.TrackbarPosition(IDC_WATERMARK_SIZE_SLIDER), 20);

    // The font size: 5 stays while typing, becomes 8 when the field is left; 99 gives 72.
    ASSERT_TRUE(page_.Type(IDC_WATERMARK_FONT_SIZE_EDIT, L"5"));
    EXPECT_EQ(sheet_->DevMode().watermarkFontSize, 5);
    SendMessageW(page_.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WATERMARK_FONT_SIZE_EDIT, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(page_.Control(IDC_WATERMARK_FONT_SIZE_EDIT)));
    EXPECT_EQ(sheet_->DevMode().watermarkFontSize, 8);
    EXPECT_EQ(page_.Text(IDC_WATERMARK_FONT_SIZE_EDIT), L"8");
    ASSERT_TRUE(page_.Type(IDC_WATERMARK_FONT_SIZE_EDIT, L"99"));
    EXPECT_EQ(sheet_->DevMode().watermarkFontSize, 72);

    // A 16th character can't be typed into the text field.
    const HWND edit = FindWindowExW(page_.Control(IDC_WATERMARK_TEXT_COMBO), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 15);
    EXPECT_EQ(catcher.MessageBoxes().size(), 1u);
}

TEST_F(WatermarkPage, AppliedTextWatermarkWritesItsPictureFile) {
    const std::wstring picture = PictureFile();
    DeleteFileW(picture.c_str());
    ASSERT_NO_FATAL_FAILURE(OpenWatermark());
    DialogCatcher catcher;
    ASSERT_TRUE(page_.Click(IDC_WATERMARK_TEXT_RADIO));
    ASSERT_TRUE(page_.Choose(IDC_WATERMARK_TEXT_COMBO, L"TOP SECRET"));
    ASSERT_TRUE(
        page_.MoveTrackbar(IDC_WATERMARK_ANGLE_SLIDER, 45 - page_.TrackbarPosition(IDC_WATERMARK_ANGLE_SLIDER)));
    EXPECT_EQ(page_.Text(IDC_WATERMARK_ANGLE_VALUE), L"45");
    const size_t resultsBefore = sheet_->host().setResultCalls().size();
    sheet_->Apply();
    EXPECT_EQ(FileSize(picture), 270054u);
    const m450::PlugInDevMode dm = sheet_->DevMode();
    EXPECT_EQ(dm.watermarkType, 2);
    EXPECT_EQ(dm.watermarkAngle, 45u);
    EXPECT_EQ(m450::RecordText(dm, &m450::PlugInDevMode::watermarkText), u"TOP SECRET");
    EXPECT_GT(sheet_->host().setResultCalls().size(), resultsBefore);
    SaveShot(*sheet_, L"watermark-text-45-en");
}

TEST_F(WatermarkPage, MissingBitmapIsReportedOnce) {
    m450test::SheetOptions options;
    options.storedRecord =
        m450test::EditedRecord([](m450::PlugInDevMode& dm) { NameBitmap(dm, u"C:\\no such folder\\missing.bmp"); });
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    EXPECT_TRUE(page_.Checked(IDC_WATERMARK_IMAGE_RADIO));
    sheet_->Pump(100);
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
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
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord(
        [&](m450::PlugInDevMode& dm) { NameBitmap(dm, std::u16string(source.begin(), source.end()), 9, 30); });
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    sheet_->Pump(100);
    EXPECT_TRUE(catcher.caught().empty());
    EXPECT_EQ(page_.SelectedText(IDC_WATERMARK_POSITION_COMBO), L"Tiled");
    EXPECT_EQ(page_.Text(IDC_WATERMARK_SIZE_VALUE), L"30");
    EXPECT_EQ(FileSize(picture), bmp.size());
    SaveShot(*sheet_, L"watermark-tiled-en");
    DeleteFileW(source.c_str());
}

// ---- Browse, Apply and what the preview shows ----------------------------------------------

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return temp;
}

bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A 24-bit bottom-up bitmap whose pixel (x, y), top row 0, is colour(x, y) as blue, green, red.
template <typename Colour>
std::vector<uint8_t> Bitmap24(int width, int height, Colour colour) {
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(54 + stride * height, 0);
    auto put32 = [&b](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::array<uint8_t, 3> bgr = colour(x, y);
            std::copy(bgr.begin(), bgr.end(), b.begin() + 54 + stride * (height - 1 - y) + size_t(x) * 3);
        }
    }
    return b;
}

// The preview frame as the screen shows it, top row first, each pixel as blue, green, red.
struct Shot {
    m450host::ScreenPicture picture;
    int width = 0;
    int height = 0;
    const uint8_t* at(int x, int y) const { return &picture.pixels[size_t(y) * picture.stride + size_t(x) * 3]; }
    bool Dark(int x, int y) const { return at(x, y)[0] < 0x60 && at(x, y)[1] < 0x60 && at(x, y)[2] < 0x60; }
};

Shot ShootFrame(HWND frame) {
    Shot shot;
    if (m450host::CapturePicture(frame, &shot.picture)) {
        shot.width = static_cast<int>(shot.picture.width);
        shot.height = static_cast<int>(shot.picture.height);
    }
    return shot;
}

// The page repainted (its preview drawn) and the frame read back at once.
Shot PreviewOf(const SheetDriver& sheet, const PageDriver& page) {
    SetWindowPos(sheet.sheet(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    sheet.Pump(100);
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    return ShootFrame(page.Control(IDC_WATERMARK_PREVIEW));
}

class WatermarkPageFiles : public WatermarkPage {
  protected:
    void TearDown() override {
        for (const std::wstring& file : made_)
            DeleteFileW(file.c_str());
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
            RemoveDirectoryW(it->c_str());
        WatermarkPage::TearDown();
    }
    std::wstring Make(const std::wstring& name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = TempFolder() + name;
        EXPECT_TRUE(WriteBytes(path, bytes)) << std::string(path.begin(), path.end());
        made_.push_back(path);
        return path;
    }
    // Image kind, Browse, `path` chosen: one error box with `message`; nothing is shown, stored
    // or converted (the picture file, removed first, stays absent).
    void ExpectBrowseRefuses(const std::wstring& path, const std::wstring& message) {
        const std::wstring picture = PictureFile();
        DeleteFileW(picture.c_str());
        ASSERT_NO_FATAL_FAILURE(OpenWatermark());
        DialogCatcher catcher;
        ASSERT_TRUE(page_.Click(IDC_WATERMARK_IMAGE_RADIO));
        catcher.Clear();
        catcher.Then(ChooseFile(path));
        ASSERT_TRUE(page_.Click(IDC_WATERMARK_BROWSE_BUTTON));
        ExpectOneBox(catcher, L"Error", message);
        EXPECT_EQ(page_.Text(IDC_WATERMARK_BITMAP_EDIT), L"");
        EXPECT_EQ(m450::RecordText(sheet_->DevMode(), &m450::PlugInDevMode::watermarkBitmapPath), u"");
        EXPECT_EQ(GetFileAttributesW(picture.c_str()), INVALID_FILE_ATTRIBUTES);
    }

    std::vector<std::wstring> made_;
    std::vector<std::wstring> folders_;
};

// A valid 24-bit bitmap above the size limits (16385 pixels wide) is "too big", not a bit depth
// the page can't read, at Browse and in the preview of a record that names it.
TEST_F(WatermarkPageFiles, ABitmapAboveTheSizeLimitsIsTooBig) {
    const std::wstring wide = Make(L"m450-wide.bmp", Bitmap24(16385, 1, [](int, int) {
                                       return std::array<uint8_t, 3>{0x80, 0x80, 0x80};
                                   }));
    ExpectBrowseRefuses(wide, L"The bitmap you selected is too big!");
    sheet_.reset();  // closed before the next sheet opens
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord(
        [&](m450::PlugInDevMode& dm) { NameBitmap(dm, std::u16string(wide.begin(), wide.end())); });
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    sheet_->Pump(100);
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    int tooBig = 0;
    std::wstring seen;
    for (const m450test::CaughtDialog& box : catcher.MessageBoxes()) {
        tooBig += box.text == L"The bitmap you selected is too big!";
        seen += box.text + L"; ";
    }
    EXPECT_EQ(tooBig, 1) << std::string(seen.begin(), seen.end());
}

// A bitmap whose path does not fit the record's 124 characters is refused at Browse: nothing is
// converted, stored or shown.
TEST_F(WatermarkPageFiles, APathTooLongForTheRecordIsRefusedAtBrowse) {
    const std::wstring folder = TempFolder() + std::wstring(110, L'f');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    folders_.push_back(folder);
    const std::wstring path = folder + L"\\watermark.bmp";
    ASSERT_GT(path.size(), 124u);
    ASSERT_TRUE(WriteBytes(path, Bitmap24(4, 4, [](int, int) { return std::array<uint8_t, 3>{0, 0, 0xFF}; })));
    made_.push_back(path);
    ExpectBrowseRefuses(path,
                        L"The path of the selected bitmap is too long!\n"
                        L"Please choose a bitmap whose full path has at most 124 characters.");
}

// A record whose position and style are in no list (an older driver's 12 and 7): the lists show
// no selection and Apply keeps the stored values, never 255.
TEST_F(WatermarkPage, ApplyWithNoSelectionKeepsTheStoredPositionAndStyle) {
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord([](m450::PlugInDevMode& dm) {
        dm.watermarkType = 2;
        dm.printTextAsImage = 1;
        dm.watermarkPosition = 12;
        dm.watermarkFontStyle = 7;
    });
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    EXPECT_EQ(page_.Selection(IDC_WATERMARK_POSITION_COMBO), -1);
    EXPECT_EQ(page_.Selection(IDC_WATERMARK_STYLE_COMBO), -1);
    sheet_->Apply();
    EXPECT_EQ(sheet_->RecordBytes()[1392], 12u);  // watermarkPosition
    EXPECT_EQ(sheet_->RecordBytes()[1385], 7u);   // watermarkFontStyle

    // A choice is stored as ever.
    ASSERT_TRUE(page_.Choose(IDC_WATERMARK_POSITION_COMBO, L"Right-Bottom"));
    ASSERT_TRUE(page_.Choose(IDC_WATERMARK_STYLE_COMBO, L"Bold"));
    sheet_->Apply();
    EXPECT_EQ(sheet_->RecordBytes()[1392], 8u);
    EXPECT_EQ(sheet_->RecordBytes()[1385], 2u);
}

// Which cells of a 6 by 6 grid over a square hold the text's dark pixels.
using InkGrid = std::array<std::array<bool, 6>, 6>;

template <typename Dark>
InkGrid InkOf(int side, Dark dark) {
    std::array<std::array<int, 6>, 6> counts{};
    int total = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (dark(x, y)) {
                ++counts[size_t(y * 6 / side)][size_t(x * 6 / side)];
                ++total;
            }
    InkGrid grid{};
    for (size_t r = 0; r < 6; ++r)
        for (size_t c = 0; c < 6; ++c)
            grid[r][c] = total > 0 && counts[r][c] * 50 >= total;  // at least 2% of the ink
    return grid;
}

// A text at 45 degrees: the preview darkens the rising diagonal of the placed canvas, the rest
// of the frame stays white, and the picture file written on Apply has its dark pixels in the
// same places.
TEST_F(WatermarkPage, TextAtFortyFiveDegreesIsDrawnAlongTheDiagonalOnScreenAndInThePictureFile) {
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord([](m450::PlugInDevMode& dm) {
        dm.watermarkType = 2;
        dm.printTextAsImage = 1;
        dm.watermarkAngle = 45;
        dm.watermarkBrightness = 0;
        dm.watermarkSize = 100;
        dm.watermarkPosition = 4;  // centre-middle
        dm.watermarkFontSize = 36;
        dm.watermarkFontStyle = 2;  // bold
        m450::StoreRecordText(dm, &m450::PlugInDevMode::watermarkText, u"CONFIDENTIAL");
    });
    const std::wstring picture = PictureFile();
    DeleteFileW(picture.c_str());
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    ASSERT_TRUE(page_.Checked(IDC_WATERMARK_TEXT_RADIO));
    const Shot shot = PreviewOf(*sheet_, page_);
    ASSERT_GT(shot.width, 20);
    ASSERT_GT(shot.height, shot.width);  // a page-shaped frame, taller than wide

    // Size 100 at centre-middle: the 300 by 300 canvas fills the width, W by W, centred.
    const int side = shot.width;
    const int top = (shot.height - side) / 2;
    int outside = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if ((y < top - 1 || y > top + side) && shot.Dark(x, y))
                ++outside;
    EXPECT_EQ(outside, 0);
    int onDiagonal = 0;
    int offDiagonal = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (shot.Dark(x, top + y))
                ++(std::abs((side - 1 - x) - y) <= side / 6 ? onDiagonal : offDiagonal);
    EXPECT_GT(onDiagonal, 40);
    EXPECT_GT(onDiagonal, 9 * offDiagonal);
    const InkGrid shown = InkOf(side, [&](int x, int y) { return shot.Dark(x, top + y); });
    // The two ends of the rising diagonal are inked, the other corners are not.
    EXPECT_TRUE(shown[5][0] || shown[4][1]);
    EXPECT_TRUE(shown[0][5] || shown[1][4]);
    EXPECT_FALSE(shown[0][0]);
    EXPECT_FALSE(shown[5][5]);

    sheet_->Apply();
    const std::vector<uint8_t> file = ReadBytes(picture);
    ASSERT_EQ(file.size(), 270054u);
    // 300 by 300 at 24 bits, bottom row first, 900 bytes a row.
    auto fileDark = [&file](int x, int y) {
        const uint8_t* p = &file[54 + size_t(299 - y) * 900 + size_t(x) * 3];
        return p[0] < 0x60 && p[1] < 0x60 && p[2] < 0x60;
    };
    int fileInk = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            fileInk += fileDark(x, y);
    EXPECT_GT(fileInk, 300);  // not blank
    const InkGrid written = InkOf(300, fileDark);
    int agree = 0;
    for (size_t r = 0; r < 6; ++r)
        for (size_t c = 0; c < 6; ++c)
            agree += written[r][c] == shown[r][c];
    EXPECT_GE(agree, 32) << "of 36 cells";
    EXPECT_TRUE(written[5][0] || written[4][1]);
    EXPECT_TRUE(written[0][5] || written[1][4]);
    EXPECT_FALSE(written[0][0]);
    EXPECT_FALSE(written[5][5]);
}

// An image at right-bottom, 50 percent: its colours where the placement puts them. The picture
// is 60 by 40, red on the left, blue on the right. With the frame W by H: D = W * 50 / 100
// wide, h = min(40, H * 60 * 100 / (W * 50)) rows, R = min(H, W * 50 * h / (60 * 100)) high,
// at left W - D and top H - R; everything else white.
TEST_F(WatermarkPageFiles, ImagePreviewShowsThePicturesColoursWhereItIsPlaced) {
    const std::wstring source =
        Make(L"m450-red-blue.bmp", Bitmap24(60, 40, [](int x, int) {
                 return x < 30 ? std::array<uint8_t, 3>{0x00, 0x00, 0xFF} : std::array<uint8_t, 3>{0xFF, 0x00, 0x00};
             }));
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord([&](m450::PlugInDevMode& dm) {
        NameBitmap(dm, std::u16string(source.begin(), source.end()), 8, 50);
        dm.watermarkBrightness = 0;
    });
    DialogCatcher catcher;
    ASSERT_NO_FATAL_FAILURE(OpenWatermark(options));
    sheet_->Pump(100);
    EXPECT_TRUE(catcher.caught().empty());
    const Shot shot = PreviewOf(*sheet_, page_);
    const int W = shot.width;
    const int H = shot.height;
    ASSERT_GT(W, 20);
    const int D = W * 50 / 100;
    const int h = std::min(40, H * 60 * 100 / (W * 50));
    const int R = std::min(H, W * 50 * h / (60 * 100));
    const int left = W - D;
    const int top = H - R;
    ASSERT_GT(R, 6);
    auto is = [&](int x, int y, uint8_t b, uint8_t g, uint8_t r) {
        const uint8_t* p = shot.at(x, y);
        return std::abs(p[0] - b) < 0x30 && std::abs(p[1] - g) < 0x30 && std::abs(p[2] - r) < 0x30;
    };
    const int middle = top + R / 2;
    EXPECT_TRUE(is(left + D / 4, middle, 0x00, 0x00, 0xFF)) << "red on the left half";
    EXPECT_TRUE(is(left + 3 * D / 4, middle, 0xFF, 0x00, 0x00)) << "blue on the right half";
    EXPECT_TRUE(is(left + 2, top + 2, 0x00, 0x00, 0xFF));
    EXPECT_TRUE(is(W - 3, H - 3, 0xFF, 0x00, 0x00));
    EXPECT_TRUE(is(left - 4, middle, 0xFF, 0xFF, 0xFF)) << "white left of the picture";
    EXPECT_TRUE(is(left + D / 2, top - 4, 0xFF, 0xFF, 0xFF)) << "white above it";
    EXPECT_TRUE(is(W / 4, H / 4, 0xFF, 0xFF, 0xFF));
}

}  // namespace
