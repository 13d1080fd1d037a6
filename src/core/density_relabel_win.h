// The host's print-density option in the current language: the document sheet does this at
// initialisation and the Layout page again when it repaints (after a language change).
#pragma once

#include <cstddef>
#include <type_traits>

#include "core/density_relabel.h"
#include "core/page_context_win.h"
#include "platform/printoem.h"

namespace m450 {

// What the plug-in object keeps for its document sheet: the page context every page receives
// and the texts the sheet's density options point to. The context comes first, so a page that
// has the context reaches the texts (DensityTextsOf).
struct DocumentSheetData {
    DocumentPageContext context;
    DensityOptionTexts densityTexts;
};
static_assert(std::is_standard_layout_v<DocumentSheetData>);
static_assert(offsetof(DocumentSheetData, context) == 0);

// The density texts of the sheet whose context this is (a context the plug-in object made).
DensityOptionTexts& DensityTextsOf(DocumentPageContext& context);

// Walks the host's driver option items of the context's block (nothing when it is null): every
// item that is the print density gets the "RC_DENSITY" text as its name and "RC_DENSITY_INDEX"
// + j as the text of option j (in the sheet's own buffers), is marked changed, and is reported
// to the host with DrvUpdateUISetting.
void RelabelPrintDensity(DocumentPageContext& context);

}  // namespace m450
