#include "app/win32/waiting_window.h"

#include "app/win32/win_text.h"

namespace wordpour::win32 {

namespace {
constexpr int kAbortId = 401;
}  // namespace

void WaitingWindow::show(std::u16string_view text) {
    if (!window()) {
        createFrame(L"WordpourWaiting", form::kWaitingWindow);
        HWND label = addControl(L"STATIC", form::kWaitingText, SS_LEFT);
        SetWindowTextW(label, toWide(text).c_str());
        abort_ = addControl(L"BUTTON", form::kAbortButton, WS_TABSTOP | BS_PUSHBUTTON, kAbortId);
    }
    showInFront(abort_);
}

bool WaitingWindow::command(int id, int code, HWND) {
    // 中止, clicked or pressed with Enter or Space while it has the focus.
    if ((id == kAbortId && code == BN_CLICKED) || id == IDOK) {
        aborted_ = true;
        return true;
    }
    return false;
}

}  // namespace wordpour::win32
