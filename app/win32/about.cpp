#include "app/win32/about.h"

#include "app/win32/win_text.h"

namespace wordpour::app::win32 {

namespace {
constexpr wchar_t kClass[] = L"WordpourForm3";
constexpr int kCommand1 = 301;
}  // namespace

AboutBox::~AboutBox() {
    if (Form3) DestroyWindow(Form3);
}

void AboutBox::setOnTop(bool onTop) {
    onTop_ = onTop;
    keepOnTop(Form3, onTop);
}

void AboutBox::show() {
    if (!Form3) {
        create();
        keepOnTop(Form3, onTop_);
    }
    ShowWindow(Form3, SW_SHOW);
    SetForegroundWindow(Form3);
    SetFocus(Command1);
}

HWND AboutBox::label(const wchar_t* text, TwipsRect inFrame, FontStyle font) {
    // Placed within the frame, as the frame's own labels.
    HWND control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0,
                                   Form3, nullptr, GetModuleHandleW(nullptr), nullptr);
    layout_.place(control, {120 + inFrame.left, 120 + inFrame.top, inFrame.width, inFrame.height},
                  font);
    return control;
}

void AboutBox::create() {
    Form3 = createFrame(kClass, procedure, L"バージョン情報", 4560, 2805, nullptr, this);
    const FontStyle plain{9}, title{12, true, true}, marked{9, true, true};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    Frame1 = CreateWindowExW(0, L"BUTTON", L"Word ! Pour ! version 1.0",
                             WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0, 0, 0, Form3, nullptr,
                             instance, nullptr);
    layout_.place(Frame1, {120, 120, 4335, 2295}, plain);

    // The picture at its natural size.
    HWND picture = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0,
                                   0, 0, Form3, nullptr, instance, nullptr);
    const HANDLE bitmap = LoadImageW(instance, L"ABOUT", IMAGE_BITMAP, 0, 0, 0);
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    layout_.placeAtNaturalSize(picture, 240, 720, {65, 65});

    label(L"バージョン１．０", {2760, 360, 1215, 255}, plain);
    label(L"ワードポア！", {240, 240, 2415, 375}, title);
    label(L"E-Mail Address : ", {1200, 1320, 1455, 255}, plain);
    label(L"© 2026", {1200, 720, 1335, 255}, plain);
    label(L"Wordpour Project", {1680, 960, 1695, 255}, marked);
    label(L"質問は README.md へ", {1680, 1560, 2535, 255}, marked);
    label(L"URL ：", {120, 1680, 735, 255}, plain);
    label(L"同梱の README.md（使い方）", {240, 1920, 3975, 255}, marked);

    Command1 = CreateWindowExW(
        0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Form3,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCommand1)), instance, nullptr);
    layout_.place(Command1, {120, 2520, 4335, 255}, plain);
}

bool AboutBox::handleDialogMessage(MSG& message) {
    if (!Form3 || !IsWindowVisible(Form3) || !IsChild(Form3, message.hwnd)) return false;
    return IsDialogMessageW(Form3, &message) != 0;
}

LRESULT CALLBACK AboutBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_DPICHANGED:
            if (self) self->layout_.dpiChanged(window, wParam, lParam);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) {
                ShowWindow(window, SW_HIDE);  // Command1_Click
                return 0;
            }
            break;
        case WM_CLOSE:
            ShowWindow(window, SW_HIDE);  // one box for the whole run
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace wordpour::app::win32
