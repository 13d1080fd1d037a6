// The Layout page ("Main") in a real document sheet opened through M450UI.dll: printing text as
// graphics forced by zoom and by a watermark, the zoom clamp, the driver-log controls, the paper
// size shared with the host's form-name item, and the language switch of all open sheets.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "document/record_text.h"
#include "harness.h"
#include "page_test.h"
#include "screenshot.h"
#include "layout_page_ids.h"
#include "version_page_ids.h"
#include "watermark_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::LanguageFolder;
using m450test::LanguageRegistry;
using m450test::PageDriver;
using m450test::SheetDriver;

constexpr wchar_t kGraphicsMessage[] = L"All Text will be printed as graphics image!";

class LayoutPage : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        for (const LanguageFolder folder : {LanguageFolder::PerUser, LanguageFolder::Driver}) {
            for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"})
                ASSERT_TRUE(files_.InstallFromSource(folder, file, std::wstring(L"lang/") + file));
        }
    }
};

// With M450_PAGE_SHOTS=<folder>, a picture of a sheet as it is now.
void SaveShot(const SheetDriver& sheet, const wchar_t* name) {
    const char* folder = std::getenv("M450_PAGE_SHOTS");
    if (folder == nullptr)
        return;
    SetWindowPos(sheet.sheet(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    BringWindowToTop(sheet.sheet());
    sheet.Pump(300);
    std::wstring error;
    const std::string narrow(folder);
    const std::wstring path = std::wstring(narrow.begin(), narrow.end()) + L"\\" + name + L".png";
    EXPECT_TRUE(m450host::SaveWindowPicture(sheet.sheet(), path, &error)) << std::string(error.begin(), error.end());
}

void ExpectGraphicsButtons(const PageDriver& page, bool yes, bool enabled) {
    EXPECT_EQ(page.Checked(IDC_LAYOUT_AS_IMAGE_YES_RADIO), yes);
    EXPECT_EQ(page.Checked(IDC_LAYOUT_AS_IMAGE_NO_RADIO), !yes);
    EXPECT_EQ(page.Enabled(IDC_LAYOUT_AS_IMAGE_YES_RADIO), enabled);
    EXPECT_EQ(page.Enabled(IDC_LAYOUT_AS_IMAGE_NO_RADIO), enabled);
}

TEST_F(LayoutPage, ZoomForcesGraphicsAndClampsTheScale) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver layout = sheet.ShowPage(L"Main");
    ASSERT_TRUE(layout);
    ExpectGraphicsButtons(layout, false, true);
    EXPECT_FALSE(layout.Enabled(IDC_LAYOUT_SCALE_EDIT));

    DialogCatcher catcher;
    ASSERT_TRUE(layout.Click(IDC_LAYOUT_ZOOM_CHECK));
    m450test::ExpectOneBox(catcher, L"Information", kGraphicsMessage);
    ExpectGraphicsButtons(layout, true, false);
    EXPECT_TRUE(layout.Enabled(IDC_LAYOUT_SCALE_EDIT));
    EXPECT_TRUE(sheet.ApplyEnabled());
    EXPECT_EQ(sheet.DevMode().zoomPrinting, 1);
    EXPECT_EQ(sheet.DevMode().printTextAsImage, 1);

    ASSERT_TRUE(layout.Type(IDC_LAYOUT_SCALE_EDIT, L"0"));
    EXPECT_EQ(layout.Text(IDC_LAYOUT_SCALE_EDIT), L"10");
    EXPECT_EQ(sheet.DevMode().zoomPercent, 10);
    ASSERT_TRUE(layout.Type(IDC_LAYOUT_SCALE_EDIT, L"150"));
    EXPECT_EQ(layout.Text(IDC_LAYOUT_SCALE_EDIT), L"100");
    EXPECT_EQ(sheet.DevMode().zoomPercent, 100);
    ASSERT_TRUE(layout.Type(IDC_LAYOUT_SCALE_EDIT, L"5"));
    EXPECT_EQ(layout.Text(IDC_LAYOUT_SCALE_EDIT), L"5");
    EXPECT_EQ(sheet.DevMode().zoomPercent, 5);

    // Off again: Yes/No usable, still Yes; on again: no second message.
    ASSERT_TRUE(layout.Click(IDC_LAYOUT_ZOOM_CHECK));
    ExpectGraphicsButtons(layout, true, true);
    EXPECT_FALSE(layout.Enabled(IDC_LAYOUT_SCALE_EDIT));
    EXPECT_EQ(sheet.DevMode().zoomPrinting, 0);
    EXPECT_EQ(sheet.DevMode().printTextAsImage, 1);
    ASSERT_TRUE(layout.Click(IDC_LAYOUT_ZOOM_CHECK));
    EXPECT_EQ(catcher.MessageBoxes().size(), 1u);

    // The hidden rotation is kept in the record on apply.
    sheet.Apply();
    EXPECT_EQ(sheet.DevMode().rotate180, 0);
    EXPECT_FALSE(sheet.host().setResultCalls().empty());
}

TEST_F(LayoutPage, TurningTheWatermarkOffShowsNoAgain) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    DialogCatcher catcher;
    PageDriver watermark = sheet.ShowPage(L"Water Mark");
    ASSERT_TRUE(watermark.Click(IDC_WATERMARK_IMAGE_RADIO));
    EXPECT_EQ(catcher.MessageBoxes().size(), 1u);
    PageDriver layout = sheet.ShowPage(L"Main");
    ExpectGraphicsButtons(layout, true, false);

    watermark = sheet.ShowPage(L"Water Mark");
    ASSERT_TRUE(watermark.Click(IDC_WATERMARK_NONE_RADIO));
    layout = sheet.ShowPage(L"Main");
    ExpectGraphicsButtons(layout, false, true);
    EXPECT_EQ(sheet.DevMode().printTextAsImage, 0);
}

TEST_F(LayoutPage, RecordDriverDataEnablesTheLogControls) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver layout = sheet.ShowPage(L"Main");
    const std::vector<int> logControls = {IDC_LAYOUT_LOG_FOLDER_EDIT,   IDC_LAYOUT_LOG_BROWSE_BUTTON,
                                          IDC_LAYOUT_LOG_VIEWER_BUTTON, IDC_LAYOUT_LOG_PRN_CHECK,
                                          IDC_LAYOUT_LOG_BMP_CHECK,     IDC_LAYOUT_LOG_JPEG_CHECK};
    ASSERT_FALSE(layout.Checked(IDC_LAYOUT_LOG_CHECK));
    for (const int id : logControls)
        EXPECT_FALSE(layout.Enabled(id)) << id;

    ASSERT_TRUE(layout.Click(IDC_LAYOUT_LOG_CHECK));
    for (const int id : logControls)
        EXPECT_TRUE(layout.Enabled(id)) << id;
    EXPECT_TRUE(layout.Checked(IDC_LAYOUT_LOG_PRN_CHECK));
    EXPECT_FALSE(layout.Checked(IDC_LAYOUT_LOG_BMP_CHECK));
    ASSERT_TRUE(layout.Click(IDC_LAYOUT_LOG_JPEG_CHECK));
    m450::PlugInDevMode dm = sheet.DevMode();
    EXPECT_EQ(dm.recordDriverLog, 1);
    EXPECT_EQ(dm.logSavePrn, 1);
    EXPECT_EQ(dm.logSaveBmp, 0);
    EXPECT_EQ(dm.logSaveJpeg, 1);

    // The viewer is not installed in the test prefix.
    DialogCatcher catcher;
    ASSERT_TRUE(layout.Click(IDC_LAYOUT_LOG_VIEWER_BUTTON));
    bool reported = false;
    std::wstring seen;
    for (const m450test::CaughtDialog& box : catcher.caught()) {
        reported = reported || (box.text == L"Not fount LOGViewer!" && box.caption == L"Error");
        seen += box.caption + L": " + box.text + L"; ";
    }
    EXPECT_TRUE(reported) << std::string(seen.begin(), seen.end());

    ASSERT_TRUE(layout.Click(IDC_LAYOUT_LOG_CHECK));
    for (const int id : logControls)
        EXPECT_FALSE(layout.Enabled(id)) << id;
    dm = sheet.DevMode();
    EXPECT_EQ(dm.recordDriverLog, 0);
    EXPECT_EQ(dm.logSavePrn + dm.logSaveBmp + dm.logSaveJpeg, 0);
}

TEST_F(LayoutPage, PaperSizeIsTheHostsFormItem) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver layout = sheet.ShowPage(L"Main");
    const auto& forms = m450host::DriverOptionItems::kFormNames;
    EXPECT_EQ(layout.Items(IDC_LAYOUT_PAPER_SIZE_COMBO), std::vector<std::wstring>(forms.begin(), forms.end()));
    EXPECT_EQ(layout.SelectedText(IDC_LAYOUT_PAPER_SIZE_COMBO), L"80mm x 297mm");

    OPTITEM& form = sheet.host().optionItems().formName();
    sheet.host().driverUI().ClearCalls();
    form.Flags &= ~OPTIF_CHANGED;
    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_PAPER_SIZE_COMBO, L"A4"));
    EXPECT_EQ(form.Sel, 1);
    EXPECT_NE(form.Flags & OPTIF_CHANGED, 0u);
    bool reported = false;
    for (const m450host::UISettingCall& call : sheet.host().driverUI().calls())
        reported = reported || (call.item == &form && call.mode == OEMCUIP_DOCPROP && call.itemSelection == 1);
    EXPECT_TRUE(reported);
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"A4");

    PageDriver paper = sheet.ShowPage(L"Paper/Quality");
    ASSERT_TRUE(paper.Choose(m450host::kHostPaperSizeList, L"Letter"));
    layout = sheet.ShowPage(L"Main");
    EXPECT_EQ(layout.SelectedText(IDC_LAYOUT_PAPER_SIZE_COMBO), L"Letter");
    sheet.Apply();
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"Letter");
}

TEST_F(LayoutPage, ChineseRetitlesEveryOpenSheetOfThePrinter) {
    SheetDriver device(SheetKind::Device);
    ASSERT_TRUE(device.ok()) << device.error();
    PageDriver deviceVersion = device.ShowPage(L"Version");
    ASSERT_TRUE(deviceVersion);
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver layout = sheet.ShowPage(L"Main");
    EXPECT_EQ(layout.SelectedText(IDC_LAYOUT_LANGUAGE_COMBO), L"English");
    const std::vector<std::wstring> entries = layout.Items(IDC_LAYOUT_LANGUAGE_COMBO);
    ASSERT_EQ(entries.size(), 4u);

    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_LANGUAGE_COMBO, L"简体中文"));
    SaveShot(sheet, L"layout-switch-before");
    sheet.Apply();
    SaveShot(sheet, L"layout-switch-after");
    SaveShot(device, L"device-switch-after");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"CHN_M450.res");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"FALSE");

    const std::vector<std::wstring> tabs = sheet.TabTexts();
    ASSERT_EQ(tabs.size(), 8u);
    EXPECT_EQ(std::vector<std::wstring>(tabs.begin(), tabs.begin() + 2),
              (std::vector<std::wstring>{L"Layout", L"Paper/Quality"}));
    EXPECT_EQ(std::vector<std::wstring>(tabs.begin() + 2, tabs.end()),
              (std::vector<std::wstring>{L"常规", L"水印", L"操作", L"一维条码", L"二维条码", L"版本"}));
    const std::vector<std::wstring> deviceTabs = device.TabTexts();
    ASSERT_GE(deviceTabs.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(deviceTabs.end() - 4, deviceTabs.end()),
              (std::vector<std::wstring>{L"实用工具", L"下载", L"字体", L"版本"}));
    EXPECT_EQ(deviceTabs.front(), L"General");

    EXPECT_EQ(layout.Text(IDC_LAYOUT_ZOOM_CHECK), L"缩放打印");
    EXPECT_EQ(deviceVersion.Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 打印机驱动程序");

    // The system entry (last, named in the system's language) stores that language's file with
    // the first-run value TRUE.
    const std::wstring systemFile = entries.back() == L"系统语言(System)" ? L"CHN_M450.res" : L"ENG_M450.res";
    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_LANGUAGE_COMBO, static_cast<int>(entries.size()) - 1));
    sheet.Apply();
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), systemFile);
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"TRUE");
}

// The host's current paper is found by its whole name, not by the first entry that begins with
// it; Apply hands the host a paper only when one was chosen on this page.
TEST_F(LayoutPage, HostPaperIsFoundByItsExactNameAndApplyLeavesTheHostsOwnChoice) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    OPTITEM& form = sheet.host().optionItems().formName();
    // Before the page opens, the host's first paper becomes "A4 Plus"; its current one is "A4".
    static wchar_t kA4Plus[] = L"A4 Plus";
    form.pOptType->pOptParam[0].pData = kA4Plus;
    form.Sel = 1;
    PageDriver layout = sheet.ShowPage(L"Main");
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout.Items(IDC_LAYOUT_PAPER_SIZE_COMBO),
              (std::vector<std::wstring>{L"A4 Plus", L"A4", L"Custom Paper-M450", L"80mm x 297mm", L"58mm x 297mm"}));
    EXPECT_EQ(layout.Selection(IDC_LAYOUT_PAPER_SIZE_COMBO), 1);

    auto reportedForm = [&] {
        bool reported = false;
        for (const m450host::UISettingCall& call : sheet.host().driverUI().calls())
            reported = reported || call.item == &form;
        return reported;
    };
    // Apply with no paper chosen here: the host is not told; the record names the host's paper.
    sheet.host().driverUI().ClearCalls();
    sheet.Apply();
    EXPECT_FALSE(reportedForm());
    EXPECT_EQ(form.Sel, 1);
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"A4");

    // A paper chosen on the host's own page, applied from there, stays.
    PageDriver paper = sheet.ShowPage(L"Paper/Quality");
    ASSERT_TRUE(paper.Choose(m450host::kHostPaperSizeList, 3));
    EXPECT_EQ(form.Sel, 3);
    sheet.host().driverUI().ClearCalls();
    sheet.Apply();
    EXPECT_FALSE(reportedForm());
    EXPECT_EQ(form.Sel, 3);
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"80mm x 297mm");

    // Chosen here: sent at once, and again on Apply.
    layout = sheet.ShowPage(L"Main");
    EXPECT_EQ(layout.SelectedText(IDC_LAYOUT_PAPER_SIZE_COMBO), L"80mm x 297mm");
    sheet.host().driverUI().ClearCalls();
    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_PAPER_SIZE_COMBO, L"A4"));
    EXPECT_TRUE(reportedForm());
    EXPECT_EQ(form.Sel, 1);
    sheet.host().driverUI().ClearCalls();
    sheet.Apply();
    EXPECT_TRUE(reportedForm());
    EXPECT_EQ(form.Sel, 1);
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"A4");

    // Chosen here, then another on the host's page: Apply from there keeps the later one.
    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_PAPER_SIZE_COMBO, L"Custom Paper-M450"));
    EXPECT_EQ(form.Sel, 2);
    paper = sheet.ShowPage(L"Paper/Quality");
    ASSERT_TRUE(paper.Choose(m450host::kHostPaperSizeList, 4));
    sheet.host().driverUI().ClearCalls();
    sheet.Apply();
    EXPECT_FALSE(reportedForm());
    EXPECT_EQ(form.Sel, 4);
    EXPECT_EQ(m450::RecordText(sheet.DevMode(), &m450::PlugInDevMode::paperSizeName), u"58mm x 297mm");
}

// Dark pixels (the receipt's large "A") in the upper and the lower half of the receipt.
std::pair<int, int> InkHalves(HBITMAP bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 76;
    info.bmiHeader.biHeight = -76;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> pixels(76 * 76 * 4);
    const HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, 76, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::pair<int, int> halves{-1, -1};
    if (rows != 76)
        return halves;
    halves = {0, 0};
    for (int y = 9; y <= 66; ++y)  // inside the receipt, below the printer's slot
        for (int x = 17; x <= 58; ++x)
            if (pixels[(y * 76 + x) * 4 + 1] < 0x40)
                ++(y < 38 ? halves.first : halves.second);
    return halves;
}

// The rotation pictures of the template (bitmaps 129 and 130) are in the DLL: 76 by 76, the
// second the receipt turned, so its "A" stands in the lower half.
TEST_F(LayoutPage, RotationPicturesAreTheReceiptNormalAndTurned) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver layout = sheet.ShowPage(L"Main");
    ASSERT_TRUE(layout);
    std::pair<int, int> ink[2];
    int i = 0;
    for (const int id : {IDC_LAYOUT_ROTATE_PICTURE1, IDC_LAYOUT_ROTATE_PICTURE2}) {
        SCOPED_TRACE(id);
        const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(layout.Control(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(bitmap, nullptr);
        BITMAP shape{};
        ASSERT_NE(GetObjectW(bitmap, sizeof(shape), &shape), 0);
        EXPECT_EQ(shape.bmWidth, 76);
        EXPECT_EQ(shape.bmHeight, 76);
        ink[i++] = InkHalves(bitmap);
    }
    EXPECT_GT(ink[0].first, 3 * ink[0].second);  // normal: the "A" at the top
    EXPECT_GT(ink[1].second, 3 * ink[1].first);  // turned: at the bottom
    EXPECT_EQ(ink[0].first, ink[1].second);
}

}  // namespace
