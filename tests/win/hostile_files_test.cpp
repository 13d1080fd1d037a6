// The malformed-bitmap corpus (tests/unit/hostile_bitmaps.h) picked by a user on the two pages
// that take bitmaps, each page opened once for the whole corpus: the Download page (Add, each
// logo type, Download all) and the Watermark page (bitmap watermark, Browse, preview, Apply).
// Every file is listed and sent only when it is sound, or refused with the page's message; no
// file appears beside the pictures, and the sheet leaves no object behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "download_page_ids.h"
#include "harness.h"
#include "hostile_bitmaps.h"
#include "page_test.h"
#include "watermark_page_ids.h"

namespace {

using m450::test::HostileBitmap;
using m450host::SheetKind;
using m450test::CaughtDialog;
using m450test::DialogCatcher;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

// Types the path into the open-file dialog and presses Open. A folder is entered rather than
// chosen; the dialog is then cancelled.
DialogCatcher::Handler ChooseFile(std::wstring path) {
    return [path](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, 0x480);  // edt1, or cmb13 where the field is a combo box
        SetWindowTextW(edit != nullptr ? edit : GetDlgItem(dialog, 0x47C), path.c_str());
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IsWindow(dialog) ? IDCANCEL : 0;
    };
}

class HostileFiles : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        for (const HostileBitmap& file : corpus_)
            folder_.Write(Wide(file.name), file.bytes);
        folderNamedBitmap_ = folder_.MakeFolder(L"x.bmp");
        names_ = folder_.Names();
        ASSERT_EQ(names_.size(), corpus_.size() + 1);
        ASSERT_NE(m450test::PluginModule(), nullptr);
        counter_ = std::make_unique<m450test::DllObjectCounter>(m450test::PluginModule());
        ASSERT_TRUE(counter_->ok());
        before_ = counter_->Counts();
    }

    // The sheet closed with OK: nothing beside the pictures, no object of the DLL's alive.
    void CloseAndExpectNothingLeft() {
        ASSERT_TRUE(sheet_->PressOk());
        sheet_.reset();
        EXPECT_EQ(folder_.Names(), names_);
        const m450test::ObjectCounts after = counter_->Counts();
        EXPECT_EQ(after.Live(), before_.Live()) << "before " << before_.Describe() << "\nafter  " << after.Describe();
        EXPECT_EQ(after.unknownReleases, 0) << after.Describe();
    }

    std::wstring PathOf(const HostileBitmap& file) const { return folder_.path() + Wide(file.name); }

    std::vector<CaughtDialog> ClickChoosing(int button, const std::wstring& path) {
        DialogCatcher catcher;
        catcher.Then(ChooseFile(path));
        page_.Click(button);
        return catcher.MessageBoxes();
    }

    const std::vector<HostileBitmap> corpus_ = m450::test::HostileBitmaps();
    m450test::ScratchFolder folder_{L"m450-hostile"};
    std::wstring folderNamedBitmap_;
    std::vector<std::wstring> names_;
    std::unique_ptr<m450test::DllObjectCounter> counter_;
    m450test::ObjectCounts before_;

    // ---- the Download page
    int Rows() const {
        return static_cast<int>(SendMessageW(page_.Control(IDC_DOWNLOAD_LOGO_LIST), LVM_GETITEMCOUNT, 0, 0));
    }

    void SelectFirst() { page_.ClickRow(IDC_DOWNLOAD_LOGO_LIST, 0); }

    // The listed logo in each type, previewed and downloaded; the message boxes all that showed.
    std::vector<CaughtDialog> EachTypeAndDownload(bool expectJobs) {
        DialogCatcher catcher;
        for (const int type : {IDC_DOWNLOAD_ORIGINAL_RADIO, IDC_DOWNLOAD_MONO_RADIO, IDC_DOWNLOAD_GRAY_RADIO}) {
            SelectFirst();
            page_.Click(type);
            SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
            printer_.ForgetLastJob();
            page_.Click(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON);
            if (type != IDC_DOWNLOAD_ORIGINAL_RADIO) {
                EXPECT_EQ(printer_.LastJob().has_value(), expectJobs) << type;
            }
        }
        return catcher.MessageBoxes();
    }
};

TEST_F(HostileFiles, DownloadPageListsPreviewsAndSendsOnlySoundBitmaps) {
    OpenPage(SheetKind::Device, L"Download");
    const std::set<std::wstring> refusals = {
        L"Failed to get data from the file!",
        L"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the height must be less "
        L"than 768 Byte!",
    };
    const int types[] = {IDC_DOWNLOAD_ORIGINAL_RADIO, IDC_DOWNLOAD_MONO_RADIO, IDC_DOWNLOAD_GRAY_RADIO};
    size_t turn = 0;
    for (const HostileBitmap& file : corpus_) {
        SCOPED_TRACE(file.name);
        // Added in each type in turn: the type decides which working copy "Add" makes.
        if (Rows() == 0)
            page_.Click(types[turn++ % 3]);
        const std::vector<CaughtDialog> boxes = ClickChoosing(IDC_DOWNLOAD_LOGO_ADD_BUTTON, PathOf(file));
        if (!file.sound) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(refusals.count(boxes[0].text), 1u) << Narrow(boxes[0].text);
            EXPECT_EQ(Rows(), 0);
            EXPECT_EQ(folder_.Names(), names_);
            continue;
        }
        EXPECT_TRUE(boxes.empty());
        ASSERT_EQ(Rows(), 1);
        EXPECT_TRUE(EachTypeAndDownload(true).empty());
        SelectFirst();
        page_.Click(IDC_DOWNLOAD_LOGO_DELETE_BUTTON);
        ASSERT_EQ(Rows(), 0);
        EXPECT_EQ(folder_.Names(), names_);
    }

    // A folder named like a bitmap is entered by the file dialog, never handed to the page.
    EXPECT_TRUE(ClickChoosing(IDC_DOWNLOAD_LOGO_ADD_BUTTON, folderNamedBitmap_).empty());
    EXPECT_EQ(Rows(), 0);

    // A listed logo cut short afterwards: the preview draws nothing, "Download all" names it.
    const std::wstring changing = folder_.Write(L"changing.bmp", m450::test::Sample24());
    names_ = folder_.Names();
    ASSERT_TRUE(ClickChoosing(IDC_DOWNLOAD_LOGO_ADD_BUTTON, changing).empty());
    folder_.Write(L"changing.bmp", m450::test::Cut(m450::test::Sample24(), 80));
    for (const CaughtDialog& box : EachTypeAndDownload(false))
        EXPECT_EQ(box.text, L"This logo can't be sent to the printer as it is, so no logo was sent:\n" + changing);
    CloseAndExpectNothingLeft();
}

TEST_F(HostileFiles, WatermarkPageConvertsOnlySoundBitmaps) {
    OpenPage(SheetKind::Document, L"Water Mark");
    const std::set<std::wstring> refusals = {
        L"Make sure the specified bitmap is 1/8/24/ bits!",
        L"The bitmap you selected is too big!",
    };
    {
        DialogCatcher catcher;  // "All Text will be printed as graphics image!"
        ASSERT_TRUE(page_.Click(IDC_WATERMARK_IMAGE_RADIO));
    }
    int notThere = 0;
    auto previewAndApply = [&](const std::wstring& path) {
        // The path in the page as a stored record brings it: the preview converts it afresh.
        DialogCatcher catcher;
        SetDlgItemTextW(page_.hwnd(), IDC_WATERMARK_BITMAP_EDIT, path.c_str());
        page_.Click(IDC_WATERMARK_IMAGE_RADIO);
        SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
        sheet_->Apply();
        for (const CaughtDialog& box : catcher.MessageBoxes()) {
            notThere += box.text == L"The specified file does not exist!";
            EXPECT_TRUE(box.text == L"The specified file does not exist!" || refusals.count(box.text) == 1)
                << Narrow(box.text);
        }
    };
    for (const HostileBitmap& file : corpus_) {
        SCOPED_TRACE(file.name);
        const std::vector<CaughtDialog> boxes = ClickChoosing(IDC_WATERMARK_BROWSE_BUTTON, PathOf(file));
        EXPECT_LE(boxes.size(), 1u);
        EXPECT_TRUE(boxes.empty() || !file.sound);
        if (boxes.empty()) {
            EXPECT_EQ(page_.Text(IDC_WATERMARK_BITMAP_EDIT), PathOf(file));
        } else {
            EXPECT_EQ(refusals.count(boxes[0].text), 1u) << Narrow(boxes[0].text);
        }
        previewAndApply(PathOf(file));
        EXPECT_EQ(folder_.Names(), names_);
    }
    EXPECT_TRUE(ClickChoosing(IDC_WATERMARK_BROWSE_BUTTON, folderNamedBitmap_).empty());
    previewAndApply(folderNamedBitmap_);
    EXPECT_EQ(notThere, 1);  // told once while the page is open
    CloseAndExpectNothingLeft();
}

}  // namespace
