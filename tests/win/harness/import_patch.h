// Replaces functions a loaded module imports, in its import address table, so that a test sees
// (and may change) every call that module makes to them, and only that module's calls.
//
//   const HMODULE dll = GetModuleHandleW(L"M450UI.dll");
//   m450test::ImportPatch patch(dll, "GDI32.dll", "CreateFontW", reinterpret_cast<void*>(&CountingCreateFontW));
//   ASSERT_TRUE(patch.ok());
//   auto* real = reinterpret_cast<decltype(&CreateFontW)>(patch.original());
//
// Patches stack: a second patch of the same import calls through to the first when it calls
// its original. Restore them in the opposite order (destroy the later one first).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace m450test {

struct ImportedFunction {
    std::string dll;       // as the import descriptor names it ("GDI32.dll")
    std::string function;  // imports by ordinal are not listed
};

// Every function the module imports by name, in table order.
std::vector<ImportedFunction> ImportedFunctions(HMODULE module);
bool Imports(HMODULE module, std::string_view dll, std::string_view function);

// The import address table entries of `function` from `dll` (names compared without case for
// the DLL, exactly for the function). A module may import a function in more than one
// descriptor; every entry is returned.
std::vector<void**> ImportSlots(HMODULE module, std::string_view dll, std::string_view function);

class ImportPatch {
  public:
    ImportPatch() = default;
    // Points every entry of the import at `replacement`. ok() is false (and nothing changed)
    // when the module does not import the function or an entry could not be written.
    ImportPatch(HMODULE module, std::string_view dll, std::string_view function, void* replacement);
    ~ImportPatch();  // puts the previous entries back
    ImportPatch(ImportPatch&& other) noexcept;
    ImportPatch& operator=(ImportPatch&& other) noexcept;
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool ok() const { return !slots_.empty(); }
    // What the entry held before: the real function, or the replacement of an earlier patch.
    void* original() const { return original_; }
    const std::string& function() const { return function_; }
    void Restore();

  private:
    std::vector<void**> slots_;
    void* original_ = nullptr;
    void* replacement_ = nullptr;
    std::string function_;
};

// Writes one pointer-sized entry of a loaded image, lifting the page's protection meanwhile.
bool WriteImportSlot(void** slot, void* value);

}  // namespace m450test
