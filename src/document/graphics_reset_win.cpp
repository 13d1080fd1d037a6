#include "document/graphics_reset_win.h"

#include "core/page_state_win.h"

namespace m450 {
namespace {

constexpr wchar_t kGraphicsResetProperty[] = L"M450.GraphicsResetPending";

}  // namespace

bool GraphicsResetPending(HWND page) {
    return SheetFlag(page, kGraphicsResetProperty);
}

void SetGraphicsResetPending(HWND page, bool pending) {
    SetSheetFlag(page, kGraphicsResetProperty, pending);
}

}  // namespace m450
