// A user's walk through every page of the plug-in's sheets, shared by the hosting tests: each
// page shown, and on the pages that make pictures, fonts and dialogs, what makes them — the
// Watermark page's text and image previews, the event dialog, the control-font table and its
// translator, and a logo on the Download page previewed in "Transformation" and "Gray".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace m450test {

// The tab texts of the plug-in's pages as they read in English.
inline const std::vector<std::wstring> kDocumentPageTabs = {L"Main",    L"Water Mark", L"Operation",
                                                            L"1D Code", L"2D Code",    L"Version"};
inline const std::vector<std::wstring> kDevicePageTabs = {L"Utility", L"Download", L"Font", L"Version"};

// Shows every tab of the sheet in turn; the number of pages that could be shown.
int ShowEveryPage(SheetDriver& sheet);
// Shows the plug-in's pages by their tabs; false when one could not be shown.
bool ShowPluginPages(SheetDriver& sheet, const std::vector<std::wstring>& tabs);

// The record of a document sheet whose watermark is the image at `path`, 24-bit, centred.
std::vector<uint8_t> RecordWithImageWatermark(const std::wstring& path);

// Document sheet: every page of the plug-in shown, the Watermark page's previews (the image
// the record names, then the text), and the Start of Document event dialog (its cut changed,
// then OK or Cancel as `confirm` says). Returns false when a step could not be done.
bool TourDocumentSheet(SheetDriver& sheet, bool confirm);

// Device sheet: the control-font table opened from the Utility page with its translator on the
// row of "A" (both cancelled), the logo at `logoPath` added on the Download page and previewed
// in "Transformation" and "Gray", after every page of the plug-in shown.
bool TourDeviceSheet(SheetDriver& sheet, const std::wstring& logoPath);

// An answer to the system's open-file dialog: `path` typed into its name field, then Open.
// The Download page: "Add" with `path` typed into the open-file dialog.
bool AddLogo(PageDriver& download, const std::wstring& path);
// A click on a row of the Download page's logo list, as the list reports it.
void SelectLogo(PageDriver& download, int row);
int LogoRows(const PageDriver& download);

// The watermark picture the printing side reads for `printer`: "<temp>\<printer>1.bmp".
std::wstring WatermarkPictureFile(const std::wstring& printer);

}  // namespace m450test
