// Checks page tests make after a user's action, each one expectation that names all that
// differs and is reported at the test's own line.
//
//   m450test::ExpectOneBox(catcher, L"Error", L"BarCode data error!", &printer_);
//   using enum m450test::ControlState;
//   ExpectControls(page_, {{IDC_1D_GS1_GROUP, Shown}, {IDC_1D_GS1_AI_COMBO, Disabled}});
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <source_location>
#include <sstream>
#include <string>
#include <string_view>

#include "dialog_catcher.h"
#include "fixtures.h"
#include "sheet_driver.h"

namespace m450test {

namespace detail {
inline std::string Narrow(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}
}  // namespace detail

// Exactly one message box was caught, with this caption and this text; and, when `printer` is
// given, no job reached it (forget its last job before the action).
inline void ExpectOneBox(const DialogCatcher& catcher,
                         std::wstring_view caption,
                         std::wstring_view text,
                         const PrinterFixture* printer = nullptr,
                         std::source_location where = std::source_location::current()) {
    std::ostringstream wrong;
    const std::vector<CaughtDialog> boxes = catcher.MessageBoxes();
    if (boxes.size() != 1 || boxes[0].caption != caption || boxes[0].text != text) {
        wrong << "expected one message box \"" << detail::Narrow(caption) << "\": \"" << detail::Narrow(text)
              << "\"; caught " << boxes.size() << ":";
        for (const CaughtDialog& box : boxes)
            wrong << "\n  \"" << detail::Narrow(box.caption) << "\": \"" << detail::Narrow(box.text) << "\"";
    }
    if (printer && printer->LastJob())
        wrong << "\na job of " << printer->LastJob()->size() << " bytes reached the printer";
    if (!wrong.str().empty())
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << wrong.str();
}

// The states a control is checked for; one entry checks one of them. A test file says
// `using enum m450test::ControlState;` to write them bare.
enum class ControlState { Enabled, Disabled, Shown, Hidden, Checked, Unchecked };

struct ControlExpectation {
    int id;
    ControlState state;
};

// Every control is in its state; the one failure names each control that is not, by id and text.
inline void ExpectControls(const PageDriver& page,
                           std::initializer_list<ControlExpectation> expected,
                           std::source_location where = std::source_location::current()) {
    static constexpr const char* kNames[] = {"enabled", "disabled", "shown", "hidden", "checked", "unchecked"};
    std::ostringstream wrong;
    for (const ControlExpectation& control : expected) {
        bool is = false;
        switch (control.state) {
            case ControlState::Enabled:
            case ControlState::Disabled:
                is = page.Enabled(control.id) == (control.state == ControlState::Enabled);
                break;
            case ControlState::Shown:
            case ControlState::Hidden:
                is = page.Visible(control.id) == (control.state == ControlState::Shown);
                break;
            case ControlState::Checked:
            case ControlState::Unchecked:
                is = page.Checked(control.id) == (control.state == ControlState::Checked);
                break;
        }
        if (!is)
            wrong << "\n  control " << control.id << " (\"" << detail::Narrow(page.Text(control.id)) << "\")"
                  << (page.Exists(control.id) ? " is not " : " does not exist, expected ")
                  << kNames[static_cast<int>(control.state)];
    }
    if (!wrong.str().empty())
        ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "controls not as expected:" << wrong.str();
}

}  // namespace m450test
