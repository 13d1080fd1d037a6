// The Download page through M450UI.dll in a real device sheet on the prefix's file-port
// printer. Logos and files are chosen in the system's open-file dialog as a user does (the
// file name typed, Open pressed); the jobs are read back from the port file and compared with
// what the job builders make of the same files and settings.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "device/logo_jobs.h"
#include "download_page_ids.h"
#include "harness.h"
#include "job_bytes.h"
#include "page_test.h"
#include "logo_test_images.h"
#include "barcode_page_shots.h"
#include "screenshot.h"

namespace {

using Bytes = std::vector<uint8_t>;
using m450::LogoSettings;
using m450::LogoType;
using m450host::SheetKind;
using m450test::ChooseFile;
using m450test::DialogCatcher;
using m450test::ExpectOneBox;
using enum m450test::ControlState;

// The open-file dialog's file-name field and file-type list.
constexpr int kFileTypeCombo = 0x470;  // cmb1

std::optional<Bytes> ReadFileBytes(const std::wstring& path) {
    return m450host::ReadFileBytes(path);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring CopyOf(const std::wstring& path) {
    return path.substr(0, path.size() - 4) + L"Temp.bmp";
}

// A conversion's working copy as the page writes it: "M450" in the file header's reserved words.
std::optional<Bytes> AsWritten(Bytes copy) {
    const uint8_t mark[] = {'M', '4', '5', '0'};
    std::copy(std::begin(mark), std::end(mark), copy.begin() + 6);
    return copy;
}

class DownloadPage : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        OpenPage(SheetKind::Device, L"Download");
    }

    HWND List() const { return page_.Control(IDC_DOWNLOAD_LOGO_LIST); }
    int Rows() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int column) const {
        wchar_t text[1100] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 1100;
        SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::wstring ColumnTitle(int column) const {
        wchar_t text[64] = {};
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = 64;
        SendMessageW(List(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
        return text;
    }

    // "Add", the file chosen in the dialog. Returns what the catcher saw.
    std::vector<m450test::CaughtDialog> Add(const std::wstring& path) {
        DialogCatcher catcher;
        catcher.Then(ChooseFile(path));
        page_.Click(IDC_DOWNLOAD_LOGO_ADD_BUTTON);
        return catcher.caught();
    }

    void Select(int row) { page_.ClickRow(IDC_DOWNLOAD_LOGO_LIST, row); }

    // The port file after a click on `button`; nullopt when no job arrived.
    std::optional<Bytes> JobAfterClick(int button) {
        printer_.ForgetLastJob();
        EXPECT_TRUE(page_.Click(button));
        return printer_.LastJob();
    }

    m450test::ScratchFolder folder_{L"m450-download"};
};

// The job the core builds of these files with one settings entry for all (its bytes are the
// logo job tests'): the page must send exactly that.
Bytes ExpectedLogoJob(LogoType type, const std::vector<std::wstring>& paths, const LogoSettings& settings) {
    std::vector<std::optional<Bytes>> sent;
    for (const std::wstring& path : paths)
        sent.push_back(m450::PrepareLogo(type, *ReadFileBytes(path), settings).sent);
    return m450::test::JobBytes(m450::BuildLogoJob(type, sent).writes);
}

// The bytes `m450tool job logos` prints for the same files: it runs as its own process, and
// every line after the document name is one write in hex.
std::optional<Bytes> ToolLogoJob(const std::wstring& arguments) {
    const std::optional<m450test::ProgramRun> run =
        m450test::RunProgram(L"\"" + m450host::WindowsPath(M450TOOL_PATH) + L"\" job logos " + arguments);
    if (!run)
        return std::nullopt;
    const std::string& output = run->output;
    if (output.rfind("LOGO", 0) != 0)
        return std::nullopt;
    Bytes bytes;
    for (size_t at = output.find('\n'); at != std::string::npos && at + 2 < output.size();) {
        const char* text = output.c_str() + at;
        while (*text == ' ' || *text == '\r' || *text == '\n')
            ++text;
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 16);
        if (end == text)
            break;
        bytes.push_back(static_cast<uint8_t>(value));
        at = static_cast<size_t>(end - output.c_str());
    }
    return bytes;
}

TEST_F(DownloadPage, StartsEmptyWithTheLogoControlsDisabled) {
    EXPECT_EQ(Rows(), 0);
    ExpectControls(page_, {{IDC_DOWNLOAD_ORIGINAL_RADIO, Checked},
                           {IDC_DOWNLOAD_HALFTONE_NONE_RADIO, Checked},
                           {IDC_DOWNLOAD_ORIGINAL_RADIO, Disabled},
                           {IDC_DOWNLOAD_MONO_RADIO, Disabled},
                           {IDC_DOWNLOAD_GRAY_RADIO, Disabled},
                           {IDC_DOWNLOAD_HALFTONE_NONE_RADIO, Disabled},
                           {IDC_DOWNLOAD_CONTRAST_SLIDER, Disabled},
                           {IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON, Disabled},
                           {IDC_DOWNLOAD_FILE_BUTTON, Disabled},
                           {IDC_DOWNLOAD_BROWSE_BUTTON, Enabled}});
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_CONTRAST_VALUE), L"0");
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON), L"Download all");
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_LOGO_NOTICE), L"Notice: Select the type of the logos before downloading.");

    // "Download all" with no logos (the button enabled by hand) only says so.
    DialogCatcher catcher;
    EnableWindow(page_.Control(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON), TRUE);
    printer_.ForgetLastJob();
    page_.Click(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON);
    ExpectOneBox(catcher, L"Error", L"Please select logos first!", &printer_);

    // A repaint follows the language file, the list's column titles included.
    ASSERT_TRUE(files_.InstallFromSource(m450test::LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_LOGO_ADD_BUTTON), L"\u6DFB\u52A0");
    EXPECT_EQ(ColumnTitle(0), L"\u7F16\u53F7");
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_LOGO_ADD_BUTTON), L"Add");
    EXPECT_EQ(ColumnTitle(0), L"ID");
}

TEST_F(DownloadPage, DeletingTheSecondOfThreeLogosMovesTheThirdUp) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(
            folder_.Write(L"logo" + std::to_wstring(i) + L".bmp", m450::test::PhotoLikeBitmap24(40 + i, 20)));
    for (const std::wstring& path : paths)
        ASSERT_EQ(Add(path).size(), 1u);  // the file dialog, no message
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(2, 0), L"3");
    EXPECT_EQ(Cell(2, 1), L"logo2.bmp");
    EXPECT_EQ(Cell(2, 2), paths[2]);

    // Type "Transformation", then logo 3 gets Dither M4 and contrast 5.
    Select(0);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_MONO_RADIO));
    EXPECT_TRUE(page_.Enabled(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON));
    for (const std::wstring& path : paths)
        EXPECT_TRUE(Exists(CopyOf(path)));
    Select(2);
    EXPECT_TRUE(page_.Checked(IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO));
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_HALFTONE_DITHER_M4_RADIO));
    ASSERT_TRUE(page_.MoveTrackbar(IDC_DOWNLOAD_CONTRAST_SLIDER, 5));
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_CONTRAST_VALUE), L"5");
    // The preview rewrote logo 3's working copy from its settings.
    EXPECT_EQ(ReadFileBytes(CopyOf(paths[2])),
              AsWritten(m450::ConvertToMono(*ReadFileBytes(paths[2]), {2, 5, 0}).workingCopy));

    Select(1);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_LOGO_DELETE_BUTTON));
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), L"1");
    EXPECT_EQ(Cell(1, 0), L"2");
    EXPECT_EQ(Cell(1, 1), L"logo2.bmp");
    EXPECT_FALSE(Exists(CopyOf(paths[1])));

    Select(1);
    EXPECT_EQ(page_.TrackbarPosition(IDC_DOWNLOAD_CONTRAST_SLIDER), 5);
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_CONTRAST_VALUE), L"5");
    ExpectControls(
        page_, {{IDC_DOWNLOAD_HALFTONE_DITHER_M4_RADIO, Checked}, {IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO, Unchecked}});

    // Cancel deletes the working copies that are left.
    ASSERT_TRUE(sheet_->PressCancel());
    for (const std::wstring& path : paths)
        EXPECT_FALSE(Exists(CopyOf(path)));
}

TEST_F(DownloadPage, NineLogosAtMostAndNoneWiderThan1024) {
    const std::wstring wide = folder_.Write(L"wide.bmp", m450::test::UniformBitmap24(1025, 1, {255, 255, 255}));
    std::vector<m450test::CaughtDialog> seen = Add(wide);
    ASSERT_EQ(seen.size(), 2u);  // the file dialog, then the message
    EXPECT_EQ(seen[1].caption, L"Error");
    EXPECT_EQ(seen[1].text,
              L"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the "
              L"height must be less than 768 Byte!");
    EXPECT_EQ(Rows(), 0);

    const std::wstring largest = folder_.Write(L"largest.bmp", m450::test::UniformBitmap8(1024, 768, 0));
    ASSERT_EQ(Add(largest).size(), 1u);
    const std::wstring small = folder_.Write(L"small.bmp", m450::test::UniformBitmap24(8, 8, {0, 0, 0}));
    for (int i = 1; i < 9; ++i)
        Add(small);
    ASSERT_EQ(Rows(), 9);
    EXPECT_EQ(Cell(8, 0), L"9");

    seen = Add(small);  // no file dialog: the message straight away
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].messageBox);
    EXPECT_EQ(seen[0].caption, L"Information");
    EXPECT_EQ(seen[0].text,
              L"The total counts of the logos is 9,\nplease delete some logos before selecting another logo!");
    EXPECT_EQ(Rows(), 9);
}

TEST_F(DownloadPage, TransformationDownloadSendsTheBuiltJob) {
    const std::vector<std::wstring> paths = {
        folder_.Write(L"photo.bmp", m450::test::PhotoLikeBitmap24(200, 100)),
        folder_.Write(L"gray8.bmp", m450::test::PhotoLikeBitmap8(37, 19)),
        folder_.Write(L"bits.bmp", m450::test::MakeBitmap1(20, 9, [](uint32_t x, uint32_t y) { return (x + y) % 3; })),
    };
    for (const std::wstring& path : paths)
        Add(path);
    ASSERT_EQ(Rows(), 3);
    Select(0);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_MONO_RADIO));

    const std::optional<Bytes> job = JobAfterClick(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, ExpectedLogoJob(LogoType::Mono, paths, {1, 0, 0}));
    std::wstring files;
    for (const std::wstring& path : paths)
        files += L" \"" + path + L"\"";
    EXPECT_EQ(ToolLogoJob(L"--type mono --method 1" + files), job);
    // 1B 63 3B 01, 1C 71 03, then the 200 × 100 logo's header.
    ASSERT_GT(job->size(), 11u);
    EXPECT_EQ(Bytes(job->begin() + 4, job->begin() + 11), (Bytes{0x1C, 0x71, 0x03, 0x1C, 0x00, 0x0D, 0x00}));
    // The 1-bit logo has no working copy: it is sent itself, and its method radios are off.
    EXPECT_FALSE(Exists(CopyOf(paths[2])));
    Select(2);
    ExpectControls(page_, {{IDC_DOWNLOAD_HALFTONE_NONE_RADIO, Disabled}, {IDC_DOWNLOAD_CONTRAST_SLIDER, Disabled}});

    Select(0);
    m450test::SavePageShot(sheet_->sheet(), L"download-transformation");

    // OK applies the page and removes the working copies.
    ASSERT_TRUE(sheet_->PressOk());
    for (const std::wstring& path : paths)
        EXPECT_FALSE(Exists(CopyOf(path)));
}

// A logo that cannot be sent (a 4-bit bitmap, listed under "Original") stops the whole job:
// the printer gets neither the bracket nor the logos before it.
TEST_F(DownloadPage, ALogoThatCannotBeSentStopsTheWholeDownload) {
    // A 4-bit bitmap is no logo the reader takes: "Add" refuses it and writes nothing beside it.
    Bytes fourBit = m450::test::UniformBitmap8(8, 8, 1);
    fourBit[28] = 4;
    const std::wstring four = folder_.Write(L"four.bmp", fourBit);
    const std::vector<m450test::CaughtDialog> refused = Add(four);
    ASSERT_EQ(refused.size(), 2u);  // the file dialog, then the message
    EXPECT_EQ(refused[1].text, L"Failed to get data from the file!");
    EXPECT_FALSE(Exists(CopyOf(four)));
    // A 1-bit logo whose second colour is gray is listed, but can't be sent as it is.
    Bytes grayish = m450::test::MakeBitmap1(8, 8, [](uint32_t x, uint32_t) { return x % 2 == 0; });
    grayish[54 + 4] = grayish[54 + 5] = grayish[54 + 6] = 128;
    const std::vector<std::wstring> paths = {
        folder_.Write(L"photo.bmp", m450::test::PhotoLikeBitmap24(40, 20)),
        folder_.Write(L"grayish.bmp", grayish),
    };
    for (const std::wstring& path : paths)
        Add(path);
    ASSERT_EQ(Rows(), 2);
    Select(0);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_MONO_RADIO));
    ASSERT_TRUE(page_.Enabled(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON));
    {
        DialogCatcher catcher;
        EXPECT_EQ(JobAfterClick(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON), std::nullopt);
        ExpectOneBox(catcher, L"Error",
                     L"This logo can't be sent to the printer as it is, so no logo was sent:\n" + paths[1]);
    }
    // The same list from the tool: refused, no job printed.
    EXPECT_EQ(ToolLogoJob(L"--type mono --method 1 \"" + paths[0] + L"\" \"" + paths[1] + L"\""), std::nullopt);
}

TEST_F(DownloadPage, GrayDownloadFollowsTheSlidersOfEachLogo) {
    const std::vector<std::wstring> paths = {
        folder_.Write(L"first.bmp", m450::test::PhotoLikeBitmap24(200, 100)),
        folder_.Write(L"second.bmp", m450::test::PhotoLikeBitmap8(64, 30)),
    };
    for (const std::wstring& path : paths)
        Add(path);
    Select(1);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_GRAY_RADIO));
    ExpectControls(page_, {{IDC_DOWNLOAD_HALFTONE_NONE_RADIO, Disabled}, {IDC_DOWNLOAD_BRIGHTNESS_SLIDER, Enabled}});
    ASSERT_TRUE(page_.MoveTrackbar(IDC_DOWNLOAD_BRIGHTNESS_SLIDER, -7));
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_BRIGHTNESS_VALUE), L"-7");
    EXPECT_EQ(ReadFileBytes(CopyOf(paths[1])),
              AsWritten(m450::ConvertToGray(*ReadFileBytes(paths[1]), 0, -7).workingCopy));

    const std::optional<Bytes> job = JobAfterClick(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON);
    ASSERT_TRUE(job.has_value());
    Bytes expected = ExpectedLogoJob(LogoType::Gray, {paths[0]}, {0, 0, 0});
    const Bytes second = ExpectedLogoJob(LogoType::Gray, {paths[1]}, {0, 0, -7});
    // Both logos in one job: the first's writes, then the second's header and data.
    expected[6] = 2;                                                    // 1C 72 n
    expected.erase(expected.end() - 5, expected.end());                 // 0A and the bracket close
    expected.insert(expected.end(), second.begin() + 7, second.end());  // past bracket open and 1C 72 01
    EXPECT_EQ(*job, expected);
    EXPECT_EQ(Bytes(job->begin() + 7, job->begin() + 13), (Bytes{0x01, 0x00, 0x19, 0x00, 0x32, 0x00}));

    m450test::SavePageShot(sheet_->sheet(), L"download-gray");

    // "Original" turns "Download all" off again.
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_ORIGINAL_RADIO));
    ExpectControls(page_, {{IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON, Disabled}, {IDC_DOWNLOAD_CONTRAST_SLIDER, Disabled}});
}

TEST_F(DownloadPage, ClearAllLogosSendsThirteenBytes) {
    const std::optional<Bytes> job = JobAfterClick(IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, (Bytes{0x1B, 0x63, 0x3B, 0x01, 0x1C, 0x71, 0x00, 0x00, 0x0A, 0x1B, 0x63, 0x3B, 0x00}));
}

TEST_F(DownloadPage, FileDownloadSendsTheFileUnchanged) {
    const Bytes firmware = {'J', 'K', 0x00, 0x1B, 0xFF, 0x0A, 0x7E};
    const std::wstring path = folder_.Write(L"update.JK", firmware);
    {
        DialogCatcher catcher;
        std::wstring firstFilter;
        catcher.Then([&](HWND dialog) {
            wchar_t text[128] = {};
            GetDlgItemTextW(dialog, kFileTypeCombo, text, 128);
            firstFilter = text;
            return ChooseFile(path)(dialog);
        });
        ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_BROWSE_BUTTON));
        EXPECT_EQ(firstFilter, L"*.JK(Firmware)");
    }
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_FILE_EDIT), path);
    ASSERT_TRUE(page_.Enabled(IDC_DOWNLOAD_FILE_BUTTON));
    for (int click = 0; click < 2; ++click) {  // each click is a job of its own
        const std::optional<Bytes> job = JobAfterClick(IDC_DOWNLOAD_FILE_BUTTON);
        ASSERT_TRUE(job.has_value()) << click;
        EXPECT_EQ(*job, firmware) << click;
    }

    // An empty file is a job with nothing in it.
    folder_.Write(L"update.JK", {});
    const std::optional<Bytes> empty = JobAfterClick(IDC_DOWNLOAD_FILE_BUTTON);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());

    // A file another program holds without sharing cannot be opened; nothing is sent.
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DialogCatcher catcher;
    const std::optional<Bytes> refused = JobAfterClick(IDC_DOWNLOAD_FILE_BUTTON);
    CloseHandle(held);
    EXPECT_FALSE(refused.has_value());
    ExpectOneBox(catcher, L"Error", L"Fail to open the selected file!");
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_FILE_EDIT), path);
    EXPECT_TRUE(page_.Enabled(IDC_DOWNLOAD_FILE_BUTTON));
}

TEST_F(DownloadPage, BrowseOffersTheTraditionalChineseFilters) {
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHF_M450.res"));
    DialogCatcher catcher;
    std::vector<std::wstring> filters;
    catcher.Then([&](HWND dialog) {
        const HWND types = GetDlgItem(dialog, kFileTypeCombo);
        const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[128] = {};
            SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            filters.push_back(text);
        }
        return IDCANCEL;
    });
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_BROWSE_BUTTON));
    ASSERT_EQ(filters.size(), 5u);
    EXPECT_EQ(filters[0], L"*.JK(\u76E3\u63A7\u7A0B\u5F0F\u6587\u4EF6)");
    EXPECT_EQ(filters[2], L"*.FNT(\u5B57\u5EAB\u6587\u4EF6)");
    EXPECT_EQ(filters[4], L"*.EEP(EEPROM\u6587\u4EF6)");
    // Cancelled: no path, "Download" stays off.
    EXPECT_EQ(page_.Text(IDC_DOWNLOAD_FILE_EDIT), L"");
    EXPECT_FALSE(page_.Enabled(IDC_DOWNLOAD_FILE_BUTTON));
}

// A file of the user's that has the name a working copy needs is never replaced or deleted:
// that logo gets no working copy, the user is told once, and "Download all" sends nothing.
TEST_F(DownloadPage, WorkingCopiesNeverTouchAFileOfTheUsers) {
    const std::wstring logo = folder_.Write(L"logo.bmp", m450::test::PhotoLikeBitmap24(40, 20));
    const Bytes own = {'m', 'i', 'n', 'e', 0x00, 0xFF};
    const std::wstring taken = folder_.Write(L"logoTemp.bmp", own);
    const std::wstring mono =
        folder_.Write(L"one.bmp", m450::test::MakeBitmap1(16, 8, [](uint32_t x, uint32_t) { return x % 2 == 0; }));
    const std::wstring monoOwn = folder_.Write(L"oneTemp.bmp", own);
    const std::wstring expected =
        L"The logo's working copy needs the name of a file that already exists. That file is "
        L"left as it is, and the logo can't be previewed or downloaded until it is renamed or "
        L"moved:\n" +
        taken;

    std::vector<m450test::CaughtDialog> seen = Add(logo);
    ASSERT_EQ(seen.size(), 2u);  // the file dialog, then the message
    EXPECT_EQ(seen[1].caption, L"Error");
    EXPECT_EQ(seen[1].text, expected);
    ASSERT_EQ(Add(mono).size(), 1u);  // a 1-bit logo needs no copy: no message
    ASSERT_EQ(Rows(), 2);

    // "Gray" for every logo: the message about logoTemp.bmp is not repeated (a gray copy of the
    // 1-bit logo would need oneTemp.bmp, which may be told once).
    {
        DialogCatcher catcher;
        Select(0);
        ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_GRAY_RADIO));
        SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
        SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
        for (const m450test::CaughtDialog& box : catcher.MessageBoxes())
            EXPECT_NE(box.text, expected);
        EXPECT_LE(catcher.MessageBoxes().size(), 1u);
    }

    // "Download all" names the file and sends nothing.
    {
        DialogCatcher catcher;
        EXPECT_FALSE(JobAfterClick(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON).has_value());
        ExpectOneBox(catcher, L"Error", expected);
    }

    // Deleting the row and OK leave both of the user's files as they were.
    Select(0);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_LOGO_DELETE_BUTTON));
    ASSERT_TRUE(sheet_->PressOk());
    EXPECT_EQ(ReadFileBytes(taken), own);
    EXPECT_EQ(ReadFileBytes(monoOwn), own);
}

// A working copy an earlier page left behind (its host ended first) bears the mark in its file
// header: the page takes it over, writes it afresh and removes it with its own copies.
TEST_F(DownloadPage, ALeftoverWorkingCopyIsTakenOverAndRemoved) {
    const std::wstring logo = folder_.Write(L"logo.bmp", m450::test::PhotoLikeBitmap24(40, 20));
    folder_.Write(L"logoTemp.bmp", {'B', 'M', 0x3E, 0, 0, 0, 'M', '4', '5', '0', 0x3E, 0, 0, 0});  // cut, marked
    ASSERT_EQ(Add(logo).size(), 1u);  // the file dialog alone: no message
    Select(0);
    ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_GRAY_RADIO));
    const std::optional<Bytes> copy = ReadFileBytes(CopyOf(logo));
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->size(), 1078u + 40 * 20);                                              // the gray copy
    EXPECT_EQ(Bytes(copy->begin() + 6, copy->begin() + 10), (Bytes{'M', '4', '5', '0'}));  // marked as the page's
    EXPECT_TRUE(JobAfterClick(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON).has_value());
    ASSERT_TRUE(sheet_->PressOk());
    EXPECT_FALSE(Exists(CopyOf(logo)));
}

// A 3 GiB file on 32 bits cannot be held in memory: the page says so and lets the file go.
TEST_F(DownloadPage, FileTooLargeForMemoryIsRefusedAndReleased) {
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit process can hold the file";
    const std::wstring path = folder_.path() + L"huge.JK";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 3LL * 1024 * 1024 * 1024;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));  // sparse: nothing is written
    CloseHandle(file);
    {
        DialogCatcher catcher;
        catcher.Then(ChooseFile(path));
        ASSERT_TRUE(page_.Click(IDC_DOWNLOAD_BROWSE_BUTTON));
    }
    DialogCatcher catcher;
    EXPECT_FALSE(JobAfterClick(IDC_DOWNLOAD_FILE_BUTTON).has_value());
    ExpectOneBox(catcher, L"Error", L"Failed to Alloc the required memory!");
    // The page holds the file no longer: another program may open it alone.
    const HANDLE again = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE)
        CloseHandle(again);
    DeleteFileW(path.c_str());
}

// The page's commands answer with what the printer channel answered.
TEST_F(DownloadPage, CommandsAnswerWithTheJobsResult) {
    const auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(page_.hwnd(), DWLP_DLGPROC));
    ASSERT_NE(procedure, nullptr);
    printer_.ForgetLastJob();
    EXPECT_EQ(procedure(page_.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON, BN_CLICKED),
                        reinterpret_cast<LPARAM>(page_.Control(IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON))),
              TRUE);
    EXPECT_TRUE(printer_.LastJob().has_value());
    // "Download" with no file chosen sends nothing and answers 0.
    EXPECT_EQ(procedure(page_.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_FILE_BUTTON, BN_CLICKED), 0), FALSE);
}

// What the preview frame shows, read back from the screen: the selected logo as its working copy
// has it (black on the left, white on the right of this logo), stretched over the whole frame;
// a logo that cannot be previewed leaves the frame empty, never another logo's picture.
TEST_F(DownloadPage, PreviewShowsTheWorkingCopyOnTheScreen) {
    const std::wstring halves =
        folder_.Write(L"halves.bmp", m450::test::MakeBitmap24(64, 32, [](uint32_t x, uint32_t) {
                          return x < 32 ? m450::test::Rgb{0, 0, 0} : m450::test::Rgb{255, 255, 255};
                      }));
    const std::wstring white = folder_.Write(L"white.bmp", m450::test::UniformBitmap24(64, 32, {255, 255, 255}));
    folder_.Write(L"whiteTemp.bmp", {'m', 'i', 'n', 'e'});  // the user's: white.bmp gets no copy
    ASSERT_EQ(Add(halves).size(), 1u);
    ASSERT_EQ(Add(white).size(), 2u);  // the file dialog and the message about whiteTemp.bmp
    const HWND frame = page_.Control(IDC_DOWNLOAD_LOGO_PREVIEW);
    auto shown = [&](double across) {
        m450host::ScreenPicture picture;
        EXPECT_TRUE(m450host::CapturePicture(frame, &picture));
        return picture.At(static_cast<UINT>(picture.width * across), picture.height / 2);
    };
    auto brightness = [](COLORREF colour) { return (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) / 3; };

    for (const int type : {IDC_DOWNLOAD_MONO_RADIO, IDC_DOWNLOAD_GRAY_RADIO}) {
        DialogCatcher catcher;
        Select(0);
        ASSERT_TRUE(page_.Click(type));
        Select(0);
        EXPECT_LT(brightness(shown(0.25)), 64) << type;
        EXPECT_GT(brightness(shown(0.75)), 192) << type;

        Select(1);  // no working copy can be made: the frame is cleared
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(shown(0.25), face) << type;
        EXPECT_EQ(shown(0.75), face) << type;
    }
}

}  // namespace
