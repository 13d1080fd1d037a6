#include "core/density_relabel_win.h"

#include "core/density_relabel.h"
#include "core/language_win.h"

namespace m450 {
namespace {

// An option's pData is either a text or, below 0x10000, the number of a string resource of the
// common UI; only a text can be read.
std::u16string_view OptionText(const OPTPARAM& option) {
    if (option.pData == nullptr || IS_INTRESOURCE(option.pData))
        return {};
    return reinterpret_cast<const char16_t*>(option.pData);
}

bool IsPrintDensity(const OPTITEM& item, const DensityOptionTexts& texts) {
    const OPTTYPE* type = item.pOptType;
    if (type == nullptr || type->pOptParam == nullptr || type->Count == 0)
        return false;
    const OPTPARAM& first = type->pOptParam[0];
    return DensityItemQualifies(item.DMPubID, item.Level, OptionText(first), texts.Owns(first.pData));
}

void Relabel(OPTITEM& item, DensityOptionTexts& texts) {
    item.Flags |= OPTIF_CHANGED;
    item.pName = const_cast<wchar_t*>(WText(TextId::GPD_RC_DENSITY));
    OPTTYPE& type = *item.pOptType;
    const size_t built = texts.Build(Texts().View(TextId::GPD_RC_DENSITY_INDEX), type.Count);
    for (size_t j = 0; j < built; ++j)
        type.pOptParam[j].pData = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(texts.Text(j)));
}

}  // namespace

DensityOptionTexts& DensityTextsOf(DocumentPageContext& context) {
    return reinterpret_cast<DocumentSheetData*>(&context)->densityTexts;
}

void RelabelPrintDensity(DocumentPageContext& context) {
    const OEMCUIPPARAM* block = context.pOEMCUIPParam;
    if (block == nullptr || block->pDrvOptItems == nullptr)
        return;
    DensityOptionTexts& texts = DensityTextsOf(context);
    for (DWORD i = 0; i < block->cDrvOptItems; ++i) {
        OPTITEM& item = block->pDrvOptItems[i];
        if (!IsPrintDensity(item, texts))
            continue;
        Relabel(item, texts);
        if (context.pDriverUI != nullptr)
            context.pDriverUI->DrvUpdateUISetting(block->poemuiobj, &item, 0, OEMCUIP_DOCPROP);
    }
}

}  // namespace m450
