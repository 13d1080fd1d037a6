#include "device/paper_forms.h"

namespace m450 {
namespace {

int32_t Clamp(int32_t typed, PaperRange range) {
    const uint32_t value = static_cast<uint32_t>(typed);
    if (value < static_cast<uint32_t>(range.min))
        return range.min;
    if (value > static_cast<uint32_t>(range.max))
        return range.max;
    return typed;
}

// The name less its first 13 characters (the prefix's length, wherever the prefix stands).
std::u16string_view AfterPrefix(std::u16string_view name) {
    return name.size() > kCustomPaperPrefix.size() ? name.substr(kCustomPaperPrefix.size()) : std::u16string_view();
}

const PaperForm* FindByName(const std::vector<PaperForm>& forms, std::u16string_view name) {
    for (const PaperForm& form : forms) {
        if (form.name == name)
            return &form;
    }
    return nullptr;
}

PaperSelectionView ViewOf(std::u16string_view selectedName, const PaperForm* form) {
    PaperSelectionView view;
    view.nameText = NameEditText(selectedName);
    view.deleteEnabled = PaperDeleteEnabled(selectedName);
    if (form)
        view.size = ShownSize(*form);
    return view;
}

}  // namespace

int32_t ClampPaperWidth(int32_t typed) {
    return Clamp(typed, kPaperWidthRange);
}

int32_t ClampPaperHeight(int32_t typed) {
    return Clamp(typed, kPaperHeightRange);
}

PaperForm MakePaperForm(std::u16string_view name, PaperSize size) {
    PaperForm form;
    form.flags = kFormUser;
    form.name = name;
    form.width = size.width * 100;
    form.height = size.height * 100;
    form.imageableArea = {0, 0, form.width, form.height};
    return form;
}

PaperSize ShownSize(const PaperForm& form) {
    return {form.width / 100, form.height / 100};
}

bool IsCustomPaperForm(std::u16string_view name) {
    return name.find(kCustomPaperPrefix) != std::u16string_view::npos;
}

std::u16string_view NameEditText(std::u16string_view formName) {
    return AfterPrefix(formName);
}

bool PaperDeleteEnabled(std::optional<std::u16string_view> selectedName) {
    return selectedName && *selectedName != kDefaultPaperFormName;
}

PaperSelectionView ViewOfSelection(FormStore& store, std::optional<std::u16string_view> selectedName) {
    if (!selectedName)
        return {};
    const std::optional<PaperForm> form = store.Get(*selectedName);
    return ViewOf(*selectedName, form ? &*form : nullptr);
}

PaperStart StartPaperList(FormStore& store) {
    PaperStart start;
    const std::optional<std::vector<PaperForm>> before = store.Enumerate();
    if (!before) {
        start.result = PaperStartResult::kEnumerateFailed;
        return start;
    }
    if (!FindByName(*before, kDefaultPaperFormName) &&
        !store.Add(MakePaperForm(kDefaultPaperFormName, {kDefaultPaperWidth / 100, kDefaultPaperHeight / 100}))) {
        start.result = PaperStartResult::kAddDefaultFailed;
        return start;
    }

    const std::optional<std::vector<PaperForm>> forms = store.Enumerate();
    if (!forms || forms->empty()) {
        start.result = PaperStartResult::kNoForms;
        return start;
    }
    start.result = PaperStartResult::kReady;
    for (const PaperForm& form : *forms) {
        if (form.name == kDefaultPaperFormName)
            start.items.push_back(form.name);
    }
    for (const PaperForm& form : *forms) {
        if (form.name != kDefaultPaperFormName && IsCustomPaperForm(form.name))
            start.items.push_back(form.name);
    }
    if (start.items.empty())
        return start;  // the spooler took the default form but does not list it

    // items[0] is the default form whenever the spooler lists it.
    start.selected = 0;
    start.view = ViewOf(start.items[0], FindByName(*forms, start.items[0]));
    return start;
}

PaperSave SavePaperForm(FormStore& store, std::u16string_view typedName, int32_t typedWidth, int32_t typedHeight) {
    PaperSave save;
    save.size = {ClampPaperWidth(typedWidth), ClampPaperHeight(typedHeight)};
    const std::optional<std::vector<PaperForm>> forms = store.Enumerate();
    if (!forms) {
        save.result = PaperSaveResult::kEnumerateFailed;
        return save;
    }
    const std::u16string_view name = typedName.substr(0, kPaperNameMaxLength);

    for (const PaperForm& form : *forms) {
        if (IsCustomPaperForm(form.name) && AfterPrefix(form.name) == name) {
            const bool set = store.Set(form.name, MakePaperForm(form.name, save.size));
            save.result = set ? PaperSaveResult::kUpdated : PaperSaveResult::kRefused;
            return save;
        }
    }

    const std::u16string newName = std::u16string(kCustomPaperPrefix) + std::u16string(name);
    if (!store.Add(MakePaperForm(newName, save.size))) {
        save.result = PaperSaveResult::kRefused;
        return save;
    }
    save.result = PaperSaveResult::kAdded;
    save.addedName = newName;
    return save;
}

PaperDelete DeletePaperForm(FormStore& store, std::span<const std::u16string> items, int selected) {
    PaperDelete deletion;
    deletion.selected = selected;
    if (selected < 0 || static_cast<size_t>(selected) >= items.size())
        return deletion;
    const std::u16string& name = items[selected];
    if (name == kDefaultPaperFormName)
        return deletion;

    if (!store.Delete(name)) {
        deletion.refused = true;  // the spooler keeps the form: so does the list
        return deletion;
    }
    deletion.removed = true;
    const size_t remaining = items.size() - 1;
    if (static_cast<size_t>(selected) == remaining)
        --deletion.selected;
    if (deletion.selected < 0) {
        deletion.view = ViewOfSelection(store, std::nullopt);
        return deletion;
    }
    // The item at the new index, counted in the list after the removal.
    const size_t next = static_cast<size_t>(deletion.selected) + (deletion.selected >= selected ? 1 : 0);
    deletion.view = ViewOfSelection(store, std::u16string_view(items[next]));
    return deletion;
}

}  // namespace m450
