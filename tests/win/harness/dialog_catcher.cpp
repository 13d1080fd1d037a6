#include "dialog_catcher.h"

#include <commctrl.h>

namespace m450test {
namespace {

thread_local DialogCatcher* t_catcher = nullptr;

// A message box's text is the static control with this id.
constexpr int kMessageBoxText = 0xFFFF;
// A property sheet's tab control; sheets are not modal dialogs to catch.
constexpr int kSheetTabControl = 0x3020;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t actual[64] = {};
    GetClassNameW(window, actual, static_cast<int>(std::size(actual)));
    return _wcsicmp(actual, name) == 0;
}

bool IsDialogToCatch(HWND window, bool sheetsToo) {
    if (!IsClass(window, L"#32770") || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0)
        return false;
    if (sheetsToo)
        return true;
    HWND tabs = GetDlgItem(window, kSheetTabControl);
    return tabs == nullptr || !IsClass(tabs, WC_TABCONTROLW);
}

constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47C;  // cmb13

int DefaultButton(HWND dialog) {
    const LRESULT id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : IDOK;
}

}  // namespace

DialogCatcher::DialogCatcher() {
    t_catcher = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
}

DialogCatcher::~DialogCatcher() {
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    if (timer_ != 0)
        KillTimer(nullptr, timer_);
    if (t_catcher == this)
        t_catcher = nullptr;
}

DialogCatcher::Handler ChooseFile(std::wstring path) {
    return [path](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, kFileNameEdit);
        SetWindowTextW(edit != nullptr ? edit : GetDlgItem(dialog, kFileNameCombo), path.c_str());
        return IDOK;
    };
}

void DialogCatcher::Then(Handler handler) {
    handlers_.push_back(std::move(handler));
}

void DialogCatcher::ThenAnswer(int buttonId) {
    Then([buttonId](HWND) { return buttonId; });
}

std::vector<CaughtDialog> DialogCatcher::MessageBoxes() const {
    std::vector<CaughtDialog> boxes;
    for (const CaughtDialog& dialog : caught_) {
        if (dialog.messageBox)
            boxes.push_back(dialog);
    }
    return boxes;
}

LRESULT CALLBACK DialogCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    DialogCatcher* catcher = t_catcher;
    if (catcher != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && IsDialogToCatch(window, catcher->sheetsToo_) &&
            catcher->seen_.insert(window).second)
            catcher->Catch(window);
        else if (code == HCBT_DESTROYWND)
            catcher->seen_.erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Records the dialog now, while it is being shown, and acts on it from a timer: by then its
// modal loop runs and the test's messages reach it as a user's would.
void DialogCatcher::Catch(HWND dialog) {
    CaughtDialog record;
    record.caption = WindowText(dialog);
    HWND text = GetDlgItem(dialog, kMessageBoxText);
    record.messageBox = text != nullptr && IsClass(text, L"Static");
    if (record.messageBox)
        record.text = WindowText(text);
    caught_.push_back(std::move(record));

    Handler handler;
    if (!handlers_.empty()) {
        handler = std::move(handlers_.front());
        handlers_.pop_front();
    }
    pending_.push_back({dialog, caught_.size() - 1, std::move(handler)});
    if (timer_ == 0)
        timer_ = SetTimer(nullptr, 0, 10, &Serve);
}

void CALLBACK DialogCatcher::Serve(HWND, UINT, UINT_PTR, DWORD) {
    if (t_catcher != nullptr)
        t_catcher->AnswerPending();
}

void DialogCatcher::AnswerPending() {
    KillTimer(nullptr, timer_);
    timer_ = 0;
    // A handler may open further dialogs; they queue up anew.
    std::vector<Pending> pending;
    pending.swap(pending_);
    for (Pending& item : pending) {
        if (!IsWindow(item.dialog))
            continue;
        // A modal dialog is shown and painted when its loop first goes idle; on a busy machine
        // this timer may come first. Show and paint it as the loop would, so that the handler
        // finds its controls usable and what its first paint sets up.
        if (!IsWindowVisible(item.dialog))
            ShowWindow(item.dialog, SW_SHOWNORMAL);
        UpdateWindow(item.dialog);
        const int answer = item.handler ? item.handler(item.dialog) : DefaultButton(item.dialog);
        if (item.record < caught_.size())
            caught_[item.record].answer = answer;
        if (answer != 0 && IsWindow(item.dialog))
            PostMessageW(item.dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(item.dialog, answer)));
    }
}

}  // namespace m450test
