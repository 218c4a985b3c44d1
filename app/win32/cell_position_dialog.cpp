#include "app/win32/cell_position_dialog.h"

#include <imm.h>

#include "app/win32/win_text.h"

namespace wordpour::app::win32 {

namespace {
constexpr wchar_t kClass[] = L"WordpourCellPosition";
constexpr int kSetButtonId = 201;  // never 1 or 2: those are Enter and Escape
}  // namespace

CellPositionDialog::CellPositionDialog(std::function<void(std::u16string)> edited)
    : edited_(std::move(edited)) {
    const form::WindowSpec& spec = form::kCellPositionDialog;
    window_ = createFrame(kClass, procedure, toWide(spec.title).c_str(), spec.width, spec.height,
                          nullptr, this);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND prompt = CreateWindowExW(0, L"STATIC", toWide(form::kCellPrompt.text).c_str(),
                                  WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, window_, nullptr,
                                  instance, nullptr);
    nameBox_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", toWide(form::kCellNameBox.text).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                               window_, nullptr, instance, nullptr);
    HWND set = CreateWindowExW(0, L"BUTTON", toWide(form::kSetButton.text).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                               window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSetButtonId)),
                               instance, nullptr);
    layout_.place(prompt, form::kCellPrompt.rect, form::kCellPrompt.font);
    layout_.place(nameBox_, form::kCellNameBox.rect, form::kCellNameBox.font);
    layout_.place(set, form::kSetButton.rect, form::kSetButton.font);
    SendMessageW(nameBox_, EM_SETLIMITTEXT, 0, 0);  // any length: an overlong name gets its message
    // The name is typed as plain keyboard characters: no input method here.
    ImmAssociateContextEx(nameBox_, nullptr, 0);
}

CellPositionDialog::~CellPositionDialog() {
    if (window_) DestroyWindow(window_);
}

void CellPositionDialog::showName(const std::u16string& name) {
    showing_ = true;
    SetWindowTextW(nameBox_, toWide(name).c_str());
    showing_ = false;
}

void CellPositionDialog::setOnTop(bool onTop) {
    keepOnTop(window_, onTop);
}

void CellPositionDialog::open() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(nameBox_);
    SendMessageW(nameBox_, EM_SETSEL, 0, -1);
}

bool CellPositionDialog::handleDialogMessage(MSG& message) {
    if (!IsWindowVisible(window_) || !IsChild(window_, message.hwnd)) return false;
    return IsDialogMessageW(window_, &message) != 0;
}

LRESULT CALLBACK CellPositionDialog::procedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* self = ownerOf<CellPositionDialog>(window, message, lParam);
    switch (message) {
        case WM_COMMAND:
            if (!self) break;
            // 指定 hides the dialog and keeps the name; Enter and Escape
            // (IDOK, IDCANCEL) press nothing.
            if (LOWORD(wParam) == kSetButtonId && HIWORD(wParam) == BN_CLICKED) {
                ShowWindow(window, SW_HIDE);
                return 0;
            }
            if (reinterpret_cast<HWND>(lParam) == self->nameBox_) {
                // The whole name is selected whenever the box gets the focus.
                if (HIWORD(wParam) == EN_SETFOCUS) SendMessageW(self->nameBox_, EM_SETSEL, 0, -1);
                if (HIWORD(wParam) == EN_CHANGE && !self->showing_)
                    self->edited_(windowText(self->nameBox_));
                return 0;
            }
            break;
        case WM_DPICHANGED:
            if (self) self->layout_.dpiChanged(window, wParam, lParam);
            return 0;
        case WM_CLOSE:
            // The close box hides it like 指定: the name is kept.
            ShowWindow(window, SW_HIDE);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace wordpour::app::win32
