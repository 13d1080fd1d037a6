#include "device/form_store.h"

#include <algorithm>

namespace m450 {

std::vector<PaperForm>::iterator MemoryFormStore::Find(std::u16string_view name) {
    return std::find_if(forms_.begin(), forms_.end(), [name](const PaperForm& f) { return f.name == name; });
}

std::optional<std::vector<PaperForm>> MemoryFormStore::Enumerate() {
    if (failEnumerate)
        return std::nullopt;
    return forms_;
}

std::optional<PaperForm> MemoryFormStore::Get(std::u16string_view name) {
    const auto it = Find(name);
    if (failEnumerate || it == forms_.end())
        return std::nullopt;
    return *it;
}

bool MemoryFormStore::Add(const PaperForm& form) {
    if (refuseAdd || Find(form.name) != forms_.end())
        return false;
    forms_.push_back(form);
    return true;
}

bool MemoryFormStore::Set(std::u16string_view name, const PaperForm& form) {
    const auto it = Find(name);
    if (refuseSet || it == forms_.end())
        return false;
    PaperForm updated = form;
    updated.name = name;  // the spooler keeps the name the form is set under
    *it = std::move(updated);
    return true;
}

bool MemoryFormStore::Delete(std::u16string_view name) {
    if (refuseDelete)
        return false;
    const auto it = Find(name);
    if (it != forms_.end())  // a form that is gone already is what the delete wanted
        forms_.erase(it);
    return true;
}

}  // namespace m450
