// The host's print-density option, relabelled in the current language: which of the host's
// option items is the print density, and the texts its options get ("Density0", "Density1" ...
// with the English texts).
//
// The host's option-text buffers have a length the plug-in does not know, so the new texts live
// in buffers of the plug-in that the options point to: each document sheet has its own, kept
// by the plug-in object with the sheet's page context (core/density_relabel_win.h), so that no
// thread rewrites the texts of another thread's sheet.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/text_store.h"

namespace m450 {

// At most this many options of the density item are relabelled; further options keep the
// host's texts. Printers offer a handful of density steps.
inline constexpr size_t kMostDensityOptions = 64;
// The index text (49 characters at most) followed by up to 10 decimal digits.
inline constexpr size_t kDensityOptionTextCapacity = 64;

// The host's item for the print density is a printer feature of its own (no public device-mode
// identifier) shown at level 2 whose first option names the density in one of the shipped
// languages. An item the plug-in has relabelled before (its first option points into the
// plug-in's buffers) stays recognised, whatever language it was relabelled in.
bool DensityItemQualifies(uint8_t dmPubId, uint8_t level, std::u16string_view firstOptionText, bool relabelledBefore);

// The display text of option `index`: the index text immediately followed by the index in
// decimal.
std::u16string_view DensityOptionText(std::u16string_view indexText,
                                      size_t index,
                                      FixedText<kDensityOptionTextCapacity>& out);

// One sheet's option texts; option j of its relabelled items points at Text(j).
class DensityOptionTexts {
  public:
    // Writes the texts of options 0 .. count - 1 (at most kMostDensityOptions) and returns how
    // many there are.
    size_t Build(std::u16string_view indexText, size_t count);
    const char16_t* Text(size_t index) const { return texts_[index].c_str(); }
    bool Owns(const void* text) const;

  private:
    std::array<FixedText<kDensityOptionTextCapacity>, kMostDensityOptions> texts_{};
};

}  // namespace m450
