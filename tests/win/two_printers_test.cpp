// Two printers of this model, "KVL-M450" and "KVL-M450 Kitchen", each on its own file port, and
// the document and device sheets of both open at once in this one process, as the printers
// folder of a shop's shell has them. What is changed in one sheet stays in that sheet; each
// printer's jobs and watermark picture go to its own port and file; the language switch on one
// printer's Layout page retitles and repaints every sheet of this process (the language is the
// user's, not a printer's), and sends nothing to another process's window of the same title; the sheets close in either
// order with every page's fonts and image lists released once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "barcode1d_page_ids.h"
#include "download_page_ids.h"
#include "event_dialog_ids.h"
#include "font_page_ids.h"
#include "harness.h"
#include "layout_page_ids.h"
#include "logo_test_images.h"
#include "operation_page_ids.h"
#include "page_test.h"
#include "sheet_tour.h"
#include "utility_page_ids.h"
#include "version_page_ids.h"
#include "watermark_page_ids.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::wstring>;
using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::DllObjectCounter;
using m450test::LanguageFolder;
using m450test::ObjectCounts;
using m450test::ObjectKind;
using m450test::PageDriver;
using m450test::SheetDriver;

constexpr wchar_t kReceipt[] = L"KVL-M450";
constexpr wchar_t kKitchen[] = L"KVL-M450 Kitchen";

// The record's Start of Document block.
constexpr size_t kStartOfDocumentBlock = 16;
constexpr size_t kStartOfPageBlock = 161;

const Texts kDocumentTabsEnglish = {L"Layout",    L"Paper/Quality", L"Main",    L"Water Mark",
                                    L"Operation", L"1D Code",       L"2D Code", L"Version"};
const Texts kDocumentTabsChinese = {L"Layout", L"Paper/Quality", L"常规",     L"水印",
                                    L"操作",   L"一维条码",      L"二维条码", L"版本"};
const Texts kDeviceTabsEnglish = {L"General",         L"Sharing", L"Ports",    L"Advanced", L"Security",
                                  L"Device Settings", L"Utility", L"Download", L"Font",     L"Version"};
const Texts kDeviceTabsChinese = {L"General",         L"Sharing",  L"Ports", L"Advanced", L"Security",
                                  L"Device Settings", L"实用工具", L"下载",  L"字体",     L"版本"};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

bool Contains(const Bytes& bytes, const Bytes& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

// The document and device sheets of one printer.
struct PrinterSheets {
    std::unique_ptr<SheetDriver> document;
    std::unique_ptr<SheetDriver> device;
};

class TwoPrinters : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(kitchen_.ok()) << Narrow(kitchen_.error());
        for (const LanguageFolder folder : {LanguageFolder::PerUser, LanguageFolder::Driver}) {
            for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"})
                ASSERT_TRUE(files_.InstallFromSource(folder, file, std::wstring(L"lang/") + file));
        }
        printer_.ForgetLastJob();
        kitchen_.ForgetLastJob();
    }

    // Opens a printer's two sheets, the document sheet from `record` when it is given.
    static void Open(PrinterSheets& sheets, const wchar_t* printer, const std::optional<Bytes>& record = {}) {
        m450test::SheetOptions options;
        options.printerName = printer;
        options.storedRecord = record;
        options.installedDriver = true;
        sheets.document = std::make_unique<SheetDriver>(SheetKind::Document, options);
        ASSERT_TRUE(sheets.document->ok()) << Narrow(sheets.document->error());
        options.storedRecord.reset();
        sheets.device = std::make_unique<SheetDriver>(SheetKind::Device, options);
        ASSERT_TRUE(sheets.device->ok()) << Narrow(sheets.device->error());
    }

    static void VisitEveryPage(PrinterSheets& sheets) {
        DialogCatcher catcher;  // a page may report at its first showing
        EXPECT_EQ(m450test::ShowEveryPage(*sheets.document), 8);
        EXPECT_EQ(m450test::ShowEveryPage(*sheets.device), 10);
    }

    m450test::PrinterFixture kitchen_{kKitchen};
};

// A page of a sheet by its place among the tabs (made once it has been shown).
PageDriver PageAt(const SheetDriver& sheet, int index) {
    return PageDriver(PropSheet_IndexToHwnd(sheet.sheet(), index));
}

std::wstring TreeRootText(const PageDriver& fontPage) {
    const HWND tree = fontPage.Control(IDC_FONT_TREE);
    wchar_t text[128] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = TreeView_GetRoot(tree);
    item.pszText = text;
    item.cchTextMax = 128;
    TreeView_GetItem(tree, &item);
    return text;
}

Bytes Block(std::span<const uint8_t> record, size_t from, size_t to) {
    return Bytes(record.begin() + from, record.begin() + to);
}

TEST_F(TwoPrinters, FourSheetsKeepTheirOwnValuesJobsAndPictures) {
    m450test::ScratchFolder folder(L"m450-two-printers");
    const Bytes receiptMark = m450::test::PhotoLikeBitmap24(200, 150);
    const Bytes kitchenMark = m450::test::PhotoLikeBitmap24(120, 90);
    const std::wstring receiptMarkPath = folder.Write(L"receipt-mark.bmp", receiptMark);
    const std::wstring kitchenMarkPath = folder.Write(L"kitchen-mark.bmp", kitchenMark);
    const std::wstring logo = folder.Write(L"logo.bmp", m450::test::PhotoLikeBitmap24(64, 32));
    const std::wstring receiptPicture = m450test::WatermarkPictureFile(kReceipt);
    const std::wstring kitchenPicture = m450test::WatermarkPictureFile(kKitchen);
    DeleteFileW(receiptPicture.c_str());
    DeleteFileW(kitchenPicture.c_str());

    PrinterSheets receipt, kitchen;
    Open(receipt, kReceipt, m450test::RecordWithImageWatermark(receiptMarkPath));
    Open(kitchen, kKitchen, m450test::RecordWithImageWatermark(kitchenMarkPath));
    VisitEveryPage(receipt);
    VisitEveryPage(kitchen);
    EXPECT_EQ(receipt.document->Title(), L"KVL-M450 Printing Preferences");
    EXPECT_EQ(kitchen.device->Title(), L"KVL-M450 Kitchen Properties");

    // Each printer's image watermark converted into its own picture (24 bits: copied unchanged).
    EXPECT_EQ(m450host::ReadFileBytes(receiptPicture), receiptMark);
    EXPECT_EQ(m450host::ReadFileBytes(kitchenPicture), kitchenMark);

    // An event's operations: the receipt printer's Start of Document sends 1B 40.
    const Bytes kitchenStartOfDocument =
        Block(kitchen.document->RecordBytes(), kStartOfDocumentBlock, kStartOfPageBlock);
    {
        PageDriver operation = receipt.document->ShowPage(L"Operation");
        DialogCatcher catcher;
        catcher.Then([](HWND dialog) {
            PageDriver event(dialog);
            EXPECT_TRUE(event.Click(IDC_EVENT_SEND_COMMAND_CHECK));
            EXPECT_TRUE(event.Type(IDC_EVENT_COMMAND_EDIT, L"1B 40"));
            return IDOK;
        });
        ASSERT_TRUE(operation.Click(IDC_OPERATION_START_DOC_BUTTON));
        ASSERT_EQ(catcher.caught().size(), 1u);
    }
    EXPECT_NE(Block(receipt.document->RecordBytes(), kStartOfDocumentBlock, kStartOfPageBlock), kitchenStartOfDocument);
    EXPECT_EQ(Block(kitchen.document->RecordBytes(), kStartOfDocumentBlock, kStartOfPageBlock), kitchenStartOfDocument);
    {
        PageDriver operation = kitchen.document->ShowPage(L"Operation");
        DialogCatcher catcher;
        bool sends = true;
        std::wstring command = L"?";
        catcher.Then([&](HWND dialog) {
            sends = PageDriver(dialog).Checked(IDC_EVENT_SEND_COMMAND_CHECK);
            command = PageDriver(dialog).Text(IDC_EVENT_COMMAND_EDIT);
            return IDCANCEL;
        });
        ASSERT_TRUE(operation.Click(IDC_OPERATION_START_DOC_BUTTON));
        EXPECT_FALSE(sends);
        EXPECT_EQ(command, L"");
    }

    // The watermark text: the receipt printer's "TOP SECRET", the kitchen's still its image.
    PageDriver receiptMarkPage = receipt.document->ShowPage(L"Water Mark");
    {
        DialogCatcher catcher;
        ASSERT_TRUE(receiptMarkPage.Click(IDC_WATERMARK_TEXT_RADIO));
        ASSERT_TRUE(receiptMarkPage.Choose(IDC_WATERMARK_TEXT_COMBO, L"TOP SECRET"));
    }
    PageDriver kitchenMarkPage = kitchen.document->ShowPage(L"Water Mark");
    EXPECT_TRUE(kitchenMarkPage.Checked(IDC_WATERMARK_IMAGE_RADIO));
    EXPECT_FALSE(kitchenMarkPage.Checked(IDC_WATERMARK_TEXT_RADIO));
    EXPECT_EQ(kitchenMarkPage.SelectedText(IDC_WATERMARK_TEXT_COMBO), L"CONFIDENTIAL");
    EXPECT_EQ(kitchenMarkPage.Text(IDC_WATERMARK_BITMAP_EDIT), kitchenMarkPath);
    receipt.document->Apply();
    const std::optional<Bytes> receiptText = m450host::ReadFileBytes(receiptPicture);
    ASSERT_TRUE(receiptText.has_value());
    EXPECT_EQ(receiptText->size(), 270054u);
    EXPECT_EQ(m450host::ReadFileBytes(kitchenPicture), kitchenMark);
    kitchen.document->Apply();
    EXPECT_EQ(m450host::ReadFileBytes(kitchenPicture), kitchenMark);
    EXPECT_EQ(m450host::ReadFileBytes(receiptPicture), receiptText);

    // A logo list with a preview: the receipt printer's in "Transformation"; the kitchen's
    // Download page keeps its own type ("Original", no download).
    PageDriver receiptDownload = receipt.device->ShowPage(L"Download");
    ASSERT_TRUE(m450test::AddLogo(receiptDownload, logo));
    m450test::SelectLogo(receiptDownload, 0);
    ASSERT_TRUE(receiptDownload.Click(IDC_DOWNLOAD_MONO_RADIO));
    EXPECT_TRUE(receiptDownload.Enabled(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON));
    PageDriver kitchenDownload = kitchen.device->ShowPage(L"Download");
    EXPECT_EQ(m450test::LogoRows(kitchenDownload), 0);
    ASSERT_TRUE(m450test::AddLogo(kitchenDownload, logo));
    m450test::SelectLogo(kitchenDownload, 0);
    EXPECT_TRUE(kitchenDownload.Checked(IDC_DOWNLOAD_ORIGINAL_RADIO));
    EXPECT_FALSE(kitchenDownload.Checked(IDC_DOWNLOAD_MONO_RADIO));
    EXPECT_FALSE(kitchenDownload.Enabled(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON));
    ASSERT_TRUE(kitchenDownload.Click(IDC_DOWNLOAD_GRAY_RADIO));
    receiptDownload = receipt.device->ShowPage(L"Download");
    m450test::SelectLogo(receiptDownload, 0);
    EXPECT_TRUE(receiptDownload.Checked(IDC_DOWNLOAD_MONO_RADIO));
    EXPECT_FALSE(receiptDownload.Checked(IDC_DOWNLOAD_GRAY_RADIO));
    EXPECT_TRUE(receiptDownload.Enabled(IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO) ||
                receiptDownload.Enabled(IDC_DOWNLOAD_HALFTONE_NONE_RADIO));

    // "Download all" on the receipt printer: a monochrome logo job (1C 71) on its port only.
    printer_.ForgetLastJob();
    kitchen_.ForgetLastJob();
    ASSERT_TRUE(receiptDownload.Click(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON));
    const std::optional<Bytes> logoJob = printer_.LastJob();
    ASSERT_TRUE(logoJob.has_value());
    ASSERT_GT(logoJob->size(), 7u);
    EXPECT_EQ(Bytes(logoJob->begin(), logoJob->begin() + 7), (Bytes{0x1B, 0x63, 0x3B, 0x01, 0x1C, 0x71, 0x01}));
    EXPECT_FALSE(kitchen_.LastJob().has_value());

    // A 1D font's settings: "1D Code1" 100 dots high on the receipt printer, 163 on the kitchen's.
    PageDriver receipt1D = receipt.document->ShowPage(L"1D Code");
    ASSERT_TRUE(receipt1D.Type(IDC_1D_HEIGHT_EDIT, L"100"));
    PageDriver kitchen1D = kitchen.document->ShowPage(L"1D Code");
    EXPECT_EQ(kitchen1D.SelectedText(IDC_1D_FONT_COMBO), L"1D Code1");
    EXPECT_EQ(kitchen1D.Text(IDC_1D_HEIGHT_EDIT), L"163");
    printer_.ForgetLastJob();
    kitchen_.ForgetLastJob();
    DialogCatcher printCatcher;  // a refused print would say so
    ASSERT_TRUE(receipt1D.Click(IDC_1D_PRINT_BUTTON));
    const std::optional<Bytes> receiptBarcode = printer_.LastJob();
    ASSERT_TRUE(receiptBarcode.has_value());
    EXPECT_TRUE(Contains(*receiptBarcode, {0x1D, 0x68, 0x64}));  // bar height 100
    EXPECT_FALSE(kitchen_.LastJob().has_value());
    printer_.ForgetLastJob();
    ASSERT_TRUE(kitchen1D.Click(IDC_1D_PRINT_BUTTON));
    const std::optional<Bytes> kitchenBarcode = kitchen_.LastJob();
    ASSERT_TRUE(kitchenBarcode.has_value());
    EXPECT_TRUE(Contains(*kitchenBarcode, {0x1D, 0x68, 0xA3}));  // bar height 163
    EXPECT_FALSE(printer_.LastJob().has_value());
    EXPECT_TRUE(printCatcher.MessageBoxes().empty());
    receipt1D = receipt.document->ShowPage(L"1D Code");
    EXPECT_EQ(receipt1D.Text(IDC_1D_HEIGHT_EDIT), L"100");

    // The self-test of the kitchen printer reaches its port only.
    kitchen_.ForgetLastJob();
    {
        PageDriver utility = kitchen.device->ShowPage(L"Utility");
        ASSERT_TRUE(utility.Click(IDC_UTILITY_SELFTEST_BUTTON));
    }
    EXPECT_EQ(kitchen_.LastJob(), (Bytes{
                                      0x1B, 0x63, 0x3B, 0x01,                    // open
                                      0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02,  // test print
                                      0x1B, 0x63, 0x3B, 0x00,                    // close
                                  }));
    EXPECT_FALSE(printer_.LastJob().has_value());

    // Every other sheet shows its own values still.
    receiptMarkPage = receipt.document->ShowPage(L"Water Mark");
    EXPECT_TRUE(receiptMarkPage.Checked(IDC_WATERMARK_TEXT_RADIO));
    EXPECT_EQ(receiptMarkPage.SelectedText(IDC_WATERMARK_TEXT_COMBO), L"TOP SECRET");
    kitchenMarkPage = kitchen.document->ShowPage(L"Water Mark");
    EXPECT_TRUE(kitchenMarkPage.Checked(IDC_WATERMARK_IMAGE_RADIO));
    EXPECT_EQ(kitchen.document->DevMode().watermarkType, 1);
    EXPECT_EQ(receipt.document->DevMode().watermarkType, 2);
}

// The helper program: a window of another process titled as the receipt printer's device sheet.
class ForeignSheet {
  public:
    explicit ForeignSheet(const std::wstring& report) : report_(report) {
        std::wstring command = L"\"" + m450host::WindowsPath(FOREIGN_SHEET_PATH) + L"\" \"" + report + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            return;
        ready_ = Event(L"ready");
        reset_ = Event(L"reset");
        done_ = Event(L"done");
    }
    ~ForeignSheet() {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        for (HANDLE event : {ready_, reset_, done_}) {
            if (event != nullptr)
                CloseHandle(event);
        }
        DeleteFileW(report_.c_str());
    }
    bool WaitReady() const { return ready_ != nullptr && WaitForSingleObject(ready_, 20000) == WAIT_OBJECT_0; }
    bool Reset() const { return SetEvent(reset_) && WaitReady(); }
    // Ends the program; its exit code (the messages it got), or -1.
    long Finish() const {
        SetEvent(done_);
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }
    std::string Report() const {
        const std::optional<Bytes> bytes = m450host::ReadFileBytes(report_);
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("no report");
    }

  private:
    HANDLE Event(const wchar_t* which) const {
        const std::wstring name = L"Local\\m450-foreign-" + std::to_wstring(process_.dwProcessId) + L"-" + which;
        for (int attempt = 0; attempt < 400; ++attempt) {  // the program makes them at its start
            if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, name.c_str()))
                return event;
            if (WaitForSingleObject(process_.hProcess, 25) != WAIT_TIMEOUT)
                return nullptr;
        }
        return nullptr;
    }
    std::wstring report_;
    PROCESS_INFORMATION process_{};
    HANDLE ready_ = nullptr;
    HANDLE reset_ = nullptr;
    HANDLE done_ = nullptr;
};

TEST_F(TwoPrinters, ChineseOnOnePrinterRetitlesEverySheetOfThisProcessOnly) {
    m450test::ScratchFolder folder(L"m450-two-printers-language");
    ForeignSheet foreign(folder.path() + L"report.txt");
    ASSERT_TRUE(foreign.WaitReady());

    // The kitchen printer's sheets first: the receipt printer's are the last opened.
    PrinterSheets receipt, kitchen;
    Open(kitchen, kKitchen);
    Open(receipt, kReceipt);
    VisitEveryPage(kitchen);
    VisitEveryPage(receipt);
    EXPECT_EQ(receipt.document->TabTexts(), kDocumentTabsEnglish);
    EXPECT_EQ(kitchen.device->TabTexts(), kDeviceTabsEnglish);
    ASSERT_TRUE(foreign.Reset());

    PageDriver layout = receipt.document->ShowPage(L"Main");
    ASSERT_TRUE(layout.Choose(IDC_LAYOUT_LANGUAGE_COMBO, L"简体中文"));
    receipt.document->Apply();
    for (SheetDriver* sheet :
         {receipt.document.get(), receipt.device.get(), kitchen.document.get(), kitchen.device.get()})
        sheet->Pump(20);
    EXPECT_EQ(m450test::LanguageRegistry::Read(m450test::kLanguageValue), L"CHN_M450.res");

    // The receipt printer's sheets, retitled and repainted.
    EXPECT_EQ(receipt.document->TabTexts(), kDocumentTabsChinese);
    EXPECT_EQ(receipt.device->TabTexts(), kDeviceTabsChinese);
    EXPECT_EQ(PageAt(*receipt.document, 2).Text(IDC_LAYOUT_ZOOM_CHECK), L"缩放打印");
    EXPECT_EQ(PageAt(*receipt.document, 7).Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 打印机驱动程序");
    EXPECT_EQ(PageAt(*receipt.device, 7).Text(IDC_DOWNLOAD_LOGO_ADD_BUTTON), L"添加");
    EXPECT_EQ(TreeRootText(PageAt(*receipt.device, 8)), L"打印机字体及字号");
    EXPECT_EQ(PageAt(*receipt.device, 9).Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 打印机驱动程序");

    // The kitchen printer's sheets too: the language is the user's, whichever printer a sheet is for.
    EXPECT_EQ(kitchen.document->TabTexts(), kDocumentTabsChinese);
    EXPECT_EQ(kitchen.device->TabTexts(), kDeviceTabsChinese);
    EXPECT_EQ(PageAt(*kitchen.document, 2).Text(IDC_LAYOUT_ZOOM_CHECK), L"缩放打印");
    EXPECT_EQ(PageAt(*kitchen.document, 7).Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 打印机驱动程序");
    EXPECT_EQ(TreeRootText(PageAt(*kitchen.device, 8)), L"打印机字体及字号");
    EXPECT_EQ(PageAt(*kitchen.device, 9).Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 打印机驱动程序");

    // The other process's "KVL-M450 Properties" got no message at all.
    const long received = foreign.Finish();
    const std::string report = foreign.Report();
    EXPECT_EQ(received, 0) << report;
    EXPECT_NE(report.find("TCM_SETITEMW 0\n"), std::string::npos) << report;
    EXPECT_NE(report.find("foreign 0\n"), std::string::npos) << report;
}

// The Version page's link fonts and the Font page's image list of the sheets still open, after
// another sheet of the same kind has closed.
void ExpectPageObjectsAlive(const SheetDriver& sheet, SheetKind kind, const char* when) {
    const PageDriver version = PageAt(sheet, kind == SheetKind::Document ? 7 : 9);
    ASSERT_TRUE(version) << when;
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(version.Control(IDC_VERSION_LINK), WM_GETFONT, 0, 0));
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << when;
    if (kind == SheetKind::Device) {
        const HIMAGELIST images = TreeView_GetImageList(PageAt(sheet, 8).Control(IDC_FONT_TREE), TVSIL_NORMAL);
        EXPECT_EQ(ImageList_GetImageCount(images), 3) << when;
    }
}

TEST_F(TwoPrinters, SheetsCloseInEitherOrderReleasingEveryPagesObjectsOnce) {
    ASSERT_NE(m450test::InstalledPluginModule(), nullptr);
    DllObjectCounter counter(m450test::InstalledPluginModule());
    ASSERT_TRUE(counter.ok());
    for (const bool openingOrder : {true, false}) {
        const char* order = openingOrder ? "closed in opening order" : "closed in reverse order";
        const ObjectCounts before = counter.Counts();
        PrinterSheets receipt, kitchen;
        Open(receipt, kReceipt);
        Open(kitchen, kKitchen);
        VisitEveryPage(receipt);
        VisitEveryPage(kitchen);
        const ObjectCounts open = counter.Counts();
        EXPECT_EQ(open.Live(ObjectKind::ImageList) - before.Live(ObjectKind::ImageList), 2) << open.Describe();
        EXPECT_GE(open.Live(ObjectKind::Font) - before.Live(ObjectKind::Font), 8) << open.Describe();

        std::array<std::unique_ptr<SheetDriver>*, 4> sheets = {&receipt.document, &receipt.device, &kitchen.document,
                                                               &kitchen.device};
        if (!openingOrder)
            std::reverse(sheets.begin(), sheets.end());
        for (size_t i = 0; i < sheets.size(); ++i) {
            EXPECT_TRUE((*sheets[i])->PressCancel()) << order << ", sheet " << i;
            sheets[i]->reset();
            for (size_t later = i + 1; later < sheets.size(); ++later) {
                const SheetKind kind = (sheets[later] == &receipt.document || sheets[later] == &kitchen.document)
                                           ? SheetKind::Document
                                           : SheetKind::Device;
                ExpectPageObjectsAlive(**sheets[later], kind, order);
            }
        }
        const ObjectCounts after = counter.Counts();
        std::printf("%s: %s\n", order, after.Describe().c_str());
        EXPECT_EQ(after.Live(), before.Live())
            << order << "\nbefore " << before.Describe() << "\nafter  " << after.Describe();
        EXPECT_EQ(after.unknownReleases, before.unknownReleases) << order << ": " << after.Describe();
        EXPECT_EQ(after.failedReleases, before.failedReleases) << order << ": " << after.Describe();
        for (const ObjectKind kind : {ObjectKind::Font, ObjectKind::ImageList}) {
            const size_t k = static_cast<size_t>(kind);
            EXPECT_EQ(after.freed[k] - before.freed[k], after.made[k] - before.made[k])
                << order << ", " << m450test::ObjectKindName(kind);
        }
    }
}

}  // namespace
