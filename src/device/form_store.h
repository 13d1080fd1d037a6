// The printer's paper forms, as the Utility page needs them: the spooler's level-1 form
// records, enumerated, read, added, rewritten and deleted.
//
// The DLL implements FormStore over the spooler's form calls; the native tests and the
// Windows page tests use MemoryFormStore (Wine's own AddForm and DeleteForm do nothing, and
// its SetForm fails).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

// Lengths in thousandths of a millimetre, as the spooler keeps them.
struct FormRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const FormRect&) const = default;
};

// FORM_USER, the flags of every form this library writes.
inline constexpr uint32_t kFormUser = 0;

struct PaperForm {
    uint32_t flags = kFormUser;
    std::u16string name;
    int32_t width = 0;
    int32_t height = 0;
    FormRect imageableArea;

    bool operator==(const PaperForm&) const = default;
};

class FormStore {
  public:
    virtual ~FormStore() = default;
    // Every form of the printer in the spooler's order; nullopt when the spooler refused.
    virtual std::optional<std::vector<PaperForm>> Enumerate() = 0;
    // The form of that exact name, if the spooler has it.
    virtual std::optional<PaperForm> Get(std::u16string_view name) = 0;
    // Each false where the spooler call failed.
    virtual bool Add(const PaperForm& form) = 0;
    virtual bool Set(std::u16string_view name, const PaperForm& form) = 0;
    virtual bool Delete(std::u16string_view name) = 0;
};

// Forms in memory, with names compared exactly. Like the spooler it refuses to add a name it
// already has and to rewrite or delete one it lacks. Tests can make each call fail.
class MemoryFormStore final : public FormStore {
  public:
    MemoryFormStore() = default;
    explicit MemoryFormStore(std::vector<PaperForm> forms) : forms_(std::move(forms)) {}

    std::optional<std::vector<PaperForm>> Enumerate() override;
    std::optional<PaperForm> Get(std::u16string_view name) override;
    bool Add(const PaperForm& form) override;
    bool Set(std::u16string_view name, const PaperForm& form) override;
    bool Delete(std::u16string_view name) override;

    const std::vector<PaperForm>& forms() const { return forms_; }

    bool failEnumerate = false;
    bool refuseAdd = false;
    bool refuseSet = false;
    bool refuseDelete = false;

  private:
    std::vector<PaperForm>::iterator Find(std::u16string_view name);

    std::vector<PaperForm> forms_;
};

}  // namespace m450
