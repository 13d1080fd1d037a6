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

bool IsPrintDensity(const OPTITEM& item) {
    const OPTTYPE* type = item.pOptType;
    if (type == nullptr || type->pOptParam == nullptr || type->Count == 0)
        return false;
    const OPTPARAM& first = type->pOptParam[0];
    return DensityItemQualifies(item.DMPubID, item.Level, OptionText(first), DensityTexts().Owns(first.pData));
}

void Relabel(OPTITEM& item) {
    item.Flags |= OPTIF_CHANGED;
    item.pName = const_cast<wchar_t*>(WText(TextId::GPD_RC_DENSITY));
    OPTTYPE& type = *item.pOptType;
    const size_t built = DensityTexts().Build(Texts().View(TextId::GPD_RC_DENSITY_INDEX), type.Count);
    for (size_t j = 0; j < built; ++j)
        type.pOptParam[j].pData = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(DensityTexts().Text(j)));
}

}  // namespace

void RelabelPrintDensity(const OEMCUIPPARAM* block, IPrintOemDriverUI* driverUI) {
    if (block == nullptr || block->pDrvOptItems == nullptr)
        return;
    for (DWORD i = 0; i < block->cDrvOptItems; ++i) {
        OPTITEM& item = block->pDrvOptItems[i];
        if (!IsPrintDensity(item))
            continue;
        Relabel(item);
        if (driverUI != nullptr)
            driverUI->DrvUpdateUISetting(block->poemuiobj, &item, 0, OEMCUIP_DOCPROP);
    }
}

}  // namespace m450
