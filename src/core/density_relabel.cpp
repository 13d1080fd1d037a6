#include "core/density_relabel.h"

#include <array>

namespace m450 {
namespace {

// "Density" in English, Simplified and Traditional Chinese.
constexpr std::array<std::u16string_view, 3> kDensityWords = {u"Density", u"\u6D53\u5EA6", u"\u6FC3\u5EA6"};

constexpr uint8_t kNoPublicId = 0;  // DMPUB_NONE
constexpr uint8_t kDensityLevel = 2;

bool NamesDensity(std::u16string_view text) {
    for (std::u16string_view word : kDensityWords) {
        if (text.find(word) != std::u16string_view::npos)
            return true;
    }
    return false;
}

}  // namespace

bool DensityItemQualifies(uint8_t dmPubId, uint8_t level, std::u16string_view firstOptionText, bool relabelledBefore) {
    if (dmPubId != kNoPublicId || level != kDensityLevel)
        return false;
    return relabelledBefore || NamesDensity(firstOptionText);
}

std::u16string_view DensityOptionText(std::u16string_view indexText,
                                      size_t index,
                                      FixedText<kDensityOptionTextCapacity>& out) {
    std::array<char16_t, 20> digits{};
    size_t start = digits.size();
    do {
        digits[--start] = static_cast<char16_t>(u'0' + index % 10);
        index /= 10;
    } while (index != 0);
    const std::u16string_view number(digits.data() + start, digits.size() - start);
    // The index text is cut so that the number always fits after it.
    const std::u16string_view label = CutToCapacity(indexText, kDensityOptionTextCapacity - number.size());
    out.AssignJoined(label, number);
    return out.view();
}

size_t DensityOptionTexts::Build(std::u16string_view indexText, size_t count) {
    const size_t built = count < kMostDensityOptions ? count : kMostDensityOptions;
    for (size_t i = 0; i < built; ++i)
        DensityOptionText(indexText, i, texts_[i]);
    return built;
}

bool DensityOptionTexts::Owns(const void* text) const {
    for (const auto& slot : texts_) {
        if (text == slot.c_str())
            return true;
    }
    return false;
}

}  // namespace m450
