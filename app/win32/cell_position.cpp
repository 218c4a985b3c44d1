#include "app/win32/cell_position.h"

#include <imm.h>

#include "app/win32/win_text.h"

namespace wordpour::app::win32 {

namespace {
constexpr wchar_t kClass[] = L"WordpourForm2";
constexpr int kCommand1 = 201;  // never 1 or 2: those are Enter and Escape
}  // namespace

CellPosition::~CellPosition() {
    if (Form2) DestroyWindow(Form2);
}

HWND CellPosition::window() {
    if (!Form2) create();
    return Form2;
}

HWND CellPosition::text1() {
    window();
    return Text1;
}

void CellPosition::create() {
    Form2 = createFrame(kClass, procedure, L"セル位置", 1905, 1155, nullptr, this);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    Label1 = CreateWindowExW(0, L"STATIC", L"入力を開始する位置を指定してください。",
                             WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, Form2, nullptr, instance,
                             nullptr);
    Text1 = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"A1",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, Form2,
                            nullptr, instance, nullptr);
    Command1 = CreateWindowExW(
        0, L"BUTTON", L"指定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
        Form2, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1)), instance, nullptr);
    layout_.place(Label1, {120, 120, 1575, 375}, FontStyle{9});
    layout_.place(Text1, {120, 600, 855, 495}, FontStyle{20.25, true});
    layout_.place(Command1, {1080, 600, 735, 495}, FontStyle{9, true});
    SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);  // any length: an overlong name gets its message
    // The name is typed as plain keyboard characters: no input method here.
    ImmAssociateContextEx(Text1, nullptr, 0);
    keepOnTop(Form2, onTop_);
}

void CellPosition::setOnTop(bool onTop) {
    onTop_ = onTop;
    keepOnTop(Form2, onTop);
}

std::u16string CellPosition::text() {
    return windowText(text1());
}

void CellPosition::setText(const std::u16string& text) {
    SetWindowTextW(text1(), toWide(text).c_str());
}

void CellPosition::open() {
    ShowWindow(window(), SW_SHOW);
    SetForegroundWindow(Form2);
    SetFocus(Text1);
    SendMessageW(Text1, EM_SETSEL, 0, -1);
}

bool CellPosition::handleDialogMessage(MSG& message) {
    if (!Form2 || !IsWindowVisible(Form2) || !IsChild(Form2, message.hwnd)) return false;
    return IsDialogMessageW(Form2, &message) != 0;
}

LRESULT CALLBACK CellPosition::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CellPosition*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (!self) break;
            // 指定 hides the dialog and keeps the name; Enter and Escape
            // (IDOK, IDCANCEL) press nothing.
            if (LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) {
                ShowWindow(window, SW_HIDE);
                return 0;
            }
            if (reinterpret_cast<HWND>(lParam) == self->Text1 && HIWORD(wParam) == EN_SETFOCUS) {
                SendMessageW(self->Text1, EM_SETSEL, 0, -1);  // Text1_GotFocus
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
