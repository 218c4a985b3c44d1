#include "app/win32/cell_position_dialog.h"

#include <imm.h>

#include "app/win32/win_text.h"

namespace wordpour::win32 {

namespace {
constexpr int kSetButtonId = 201;  // never 1 or 2: those are Enter and Escape
}  // namespace

CellPositionDialog::CellPositionDialog(std::function<void(std::u16string)> edited)
    : edited_(std::move(edited)) {
    createFrame(L"WordpourCellPosition", form::kCellPositionDialog);
    addControl(L"STATIC", form::kCellPrompt, SS_LEFT);
    nameBox_ =
        addControl(L"EDIT", form::kCellNameBox, WS_TABSTOP | ES_AUTOHSCROLL, 0, WS_EX_CLIENTEDGE);
    addControl(L"BUTTON", form::kSetButton, WS_TABSTOP | BS_PUSHBUTTON, kSetButtonId);
    SendMessageW(nameBox_, EM_SETLIMITTEXT, 0, 0);  // any length: an overlong name gets its message
    // The name is typed as plain keyboard characters: no input method here.
    ImmAssociateContextEx(nameBox_, nullptr, 0);
}

void CellPositionDialog::showName(const std::u16string& name) {
    showing_ = true;
    SetWindowTextW(nameBox_, toWide(name).c_str());
    showing_ = false;
}

void CellPositionDialog::open() {
    showInFront(nameBox_);
    SendMessageW(nameBox_, EM_SETSEL, 0, -1);
}

bool CellPositionDialog::command(int id, int code, HWND control) {
    // 指定 hides the dialog and keeps the name.
    if (id == kSetButtonId && code == BN_CLICKED) return ShowWindow(window(), SW_HIDE), true;
    if (control != nameBox_) return false;
    // The whole name is selected whenever the box gets the focus.
    if (code == EN_SETFOCUS) SendMessageW(nameBox_, EM_SETSEL, 0, -1);
    if (code == EN_CHANGE && !showing_) edited_(windowText(nameBox_));
    return true;
}

}  // namespace wordpour::win32
