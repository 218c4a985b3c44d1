#include "app/win32/about_box.h"

#include "app/win32/win_text.h"

namespace wordpour::app::win32 {

namespace {
constexpr wchar_t kClass[] = L"WordpourAboutBox";
constexpr int kOkId = 301;
constexpr SIZE kPictureSize{65, 65};
}  // namespace

AboutBox::~AboutBox() {
    if (window_) DestroyWindow(window_);
}

void AboutBox::setOnTop(bool onTop) {
    onTop_ = onTop;
    keepOnTop(window_, onTop);
}

void AboutBox::show() {
    if (!window_) {
        create();
        keepOnTop(window_, onTop_);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(ok_);
}

HWND AboutBox::control(const wchar_t* type, const form::ControlSpec& spec, DWORD style) {
    return CreateWindowExW(0, type, toWide(spec.text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                           0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void AboutBox::create() {
    const form::WindowSpec& spec = form::kAboutBox;
    window_ = createFrame(kClass, procedure, toWide(spec.title).c_str(), spec.width, spec.height,
                          nullptr, this);
    const form::ControlSpec& frame = form::kAboutFrame;
    layout_.place(control(L"BUTTON", frame, BS_GROUPBOX), frame.rect, frame.font);
    // The frame's picture and labels stand within it.
    auto inFrame = [&frame](const form::TwipsRect& r) {
        return TwipsRect{frame.rect.left + r.left, frame.rect.top + r.top, r.width, r.height};
    };
    HWND picture = control(L"STATIC", form::kAboutPicture, SS_BITMAP);
    const HANDLE bitmap = LoadImageW(GetModuleHandleW(nullptr), L"ABOUT", IMAGE_BITMAP, 0, 0, 0);
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    const TwipsRect at = inFrame(form::kAboutPicture.rect);
    layout_.placeAtNaturalSize(picture, at.left, at.top, kPictureSize);
    for (const form::ControlSpec& label : form::kAboutLabels)
        layout_.place(control(L"STATIC", label, SS_LEFT), inFrame(label.rect), label.font);

    ok_ = CreateWindowExW(0, L"BUTTON", toWide(form::kAboutOk.text).c_str(),
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)),
                          GetModuleHandleW(nullptr), nullptr);
    layout_.place(ok_, form::kAboutOk.rect, form::kAboutOk.font);
}

bool AboutBox::handleDialogMessage(MSG& message) {
    if (!window_ || !IsWindowVisible(window_) || !IsChild(window_, message.hwnd)) return false;
    return IsDialogMessageW(window_, &message) != 0;
}

LRESULT CALLBACK AboutBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = ownerOf<AboutBox>(window, message, lParam);
    switch (message) {
        case WM_DPICHANGED:
            if (self) self->layout_.dpiChanged(window, wParam, lParam);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kOkId && HIWORD(wParam) == BN_CLICKED) {
                ShowWindow(window, SW_HIDE);
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
