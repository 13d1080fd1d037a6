// Catches the message boxes and modal dialogs that open on the calling thread while it lives:
// records each one's caption (and a message box's text), lets the test act inside it, and
// answers it, so that a page's modal loop returns to the test.
//
//   m450test::DialogCatcher catcher;
//   catcher.Then([](HWND dialog) { m450test::PageDriver(dialog).Type(kCommandEdit, L"1B 40"); return IDOK; });
//   layout.Click(kZoomCheck);                  // opens the dialog; returns once it is answered
//   ASSERT_EQ(catcher.caught().size(), 1u);
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace m450test {

struct CaughtDialog {
    std::wstring caption;
    std::wstring text;  // a message box's text; empty for other dialogs
    bool messageBox = false;
    int answer = 0;  // the button the catcher pressed; 0 when the handler closed the dialog itself
};

class DialogCatcher {
  public:
    // Acts inside the dialog (from the dialog's own modal loop, so it may send messages and
    // open further dialogs) and returns the id of the button to answer with, or 0 when it has
    // closed the dialog itself.
    using Handler = std::function<int(HWND dialog)>;

    DialogCatcher();  // hooks the calling thread; one catcher per thread at a time
    ~DialogCatcher();
    DialogCatcher(const DialogCatcher&) = delete;
    DialogCatcher& operator=(const DialogCatcher&) = delete;

    // Handlers for the next dialogs, in the order they open. A dialog without one is
    // answered with its default button (IDOK when it has none).
    void Then(Handler handler);
    void ThenAnswer(int buttonId);
    // Property sheets are dialogs to catch too (a modal sheet that winspool or compstui opens);
    // by default they are not, since the tests' own sheets are modeless.
    void CatchSheetsToo() { sheetsToo_ = true; }

    const std::vector<CaughtDialog>& caught() const { return caught_; }
    std::vector<CaughtDialog> MessageBoxes() const;
    void Clear() { caught_.clear(); }

  private:
    struct Pending {
        HWND dialog;
        size_t record;
        Handler handler;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Serve(HWND, UINT, UINT_PTR, DWORD);
    void Catch(HWND dialog);
    void AnswerPending();

    HHOOK hook_ = nullptr;
    bool sheetsToo_ = false;
    UINT_PTR timer_ = 0;
    std::deque<Handler> handlers_;
    std::vector<Pending> pending_;
    std::set<HWND> seen_;
    std::vector<CaughtDialog> caught_;
};

// A handler for the open-file dialog: types `path` into its file-name field (edt1, or cmb13
// where the field is a combo box) and answers Open.
DialogCatcher::Handler ChooseFile(std::wstring path);

}  // namespace m450test
