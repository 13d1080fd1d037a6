#include "import_patch.h"

#include <cstring>
#include <utility>

namespace m450test {
namespace {

const BYTE* Base(HMODULE module) {
    return reinterpret_cast<const BYTE*>(module);
}

// The import directory of a loaded image, null when it has none or the headers are not an image's.
const IMAGE_IMPORT_DESCRIPTOR* FirstDescriptor(HMODULE module) {
    if (module == nullptr)
        return nullptr;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base(module));
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base(module) + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0)
        return nullptr;
    return reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(Base(module) + imports.VirtualAddress);
}

bool SameDllName(const char* a, std::string_view b) {
    return std::strlen(a) == b.size() && _strnicmp(a, b.data(), b.size()) == 0;
}

// Calls `visit(dllName, functionName, slot)` for every import by name.
template <typename Visit>
void ForEachImport(HMODULE module, Visit visit) {
    for (const IMAGE_IMPORT_DESCRIPTOR* descriptor = FirstDescriptor(module);
         descriptor != nullptr && descriptor->Name != 0; ++descriptor) {
        const char* dll = reinterpret_cast<const char*>(Base(module) + descriptor->Name);
        // The name table (OriginalFirstThunk) stays as linked; the address table holds pointers.
        const DWORD names =
            descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        const auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(Base(module) + names);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(Base(module)) + descriptor->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(Base(module) + name->u1.AddressOfData);
            visit(dll, reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&slot->u1.Function));
        }
    }
}

}  // namespace

std::vector<ImportedFunction> ImportedFunctions(HMODULE module) {
    std::vector<ImportedFunction> functions;
    ForEachImport(module, [&](const char* dll, const char* function, void**) { functions.push_back({dll, function}); });
    return functions;
}

bool Imports(HMODULE module, std::string_view dll, std::string_view function) {
    return !ImportSlots(module, dll, function).empty();
}

std::vector<void**> ImportSlots(HMODULE module, std::string_view dll, std::string_view function) {
    std::vector<void**> slots;
    ForEachImport(module, [&](const char* dllName, const char* functionName, void** slot) {
        if (SameDllName(dllName, dll) && function == functionName)
            slots.push_back(slot);
    });
    return slots;
}

bool WriteImportSlot(void** slot, void* value) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &previous))
        return false;
    *slot = value;
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof(void*), previous, &ignored);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof(void*));
    return true;
}

ImportPatch::ImportPatch(HMODULE module, std::string_view dll, std::string_view function, void* replacement)
    : replacement_(replacement), function_(function) {
    std::vector<void**> slots = ImportSlots(module, dll, function);
    if (slots.empty())
        return;
    original_ = *slots.front();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!WriteImportSlot(slots[i], replacement)) {
            for (size_t done = 0; done < i; ++done)
                WriteImportSlot(slots[done], original_);
            return;
        }
    }
    slots_ = std::move(slots);
}

ImportPatch::~ImportPatch() {
    Restore();
}

ImportPatch::ImportPatch(ImportPatch&& other) noexcept
    : slots_(std::move(other.slots_)),
      original_(other.original_),
      replacement_(other.replacement_),
      function_(std::move(other.function_)) {
    other.slots_.clear();
}

ImportPatch& ImportPatch::operator=(ImportPatch&& other) noexcept {
    if (this != &other) {
        Restore();
        slots_ = std::move(other.slots_);
        other.slots_.clear();
        original_ = other.original_;
        replacement_ = other.replacement_;
        function_ = std::move(other.function_);
    }
    return *this;
}

void ImportPatch::Restore() {
    for (void** slot : slots_) {
        // Only an entry that still holds this patch is put back; a later patch owns the others.
        if (*slot == replacement_)
            WriteImportSlot(slot, original_);
    }
    slots_.clear();
}

}  // namespace m450test
