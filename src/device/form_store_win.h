// The printer's paper forms kept by the spooler: FormStore over EnumFormsW, GetFormW, AddFormW,
// SetFormW and DeleteFormW at level 1, on a printer handle the host owns.
#pragma once

#include <windows.h>

#include "device/form_store.h"

namespace m450 {

class SpoolerFormStore final : public FormStore {
  public:
    // The handle is borrowed: never closed here, and it must stay open while the store is used.
    explicit SpoolerFormStore(HANDLE printer) : printer_(printer) {}

    std::optional<std::vector<PaperForm>> Enumerate() override;
    std::optional<PaperForm> Get(std::u16string_view name) override;
    bool Add(const PaperForm& form) override;
    bool Set(std::u16string_view name, const PaperForm& form) override;
    bool Delete(std::u16string_view name) override;

  private:
    HANDLE printer_;
};

}  // namespace m450
