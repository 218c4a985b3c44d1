#include "app/win32/about_box.h"

namespace wordpour::win32 {

namespace {
constexpr int kOkId = 301;
constexpr SIZE kPictureSize{65, 65};
}  // namespace

void AboutBox::show() {
    if (!window()) create();
    showInFront(ok_);
}

void AboutBox::create() {
    createFrame(L"WordpourAboutBox", form::kAboutBox);
    const form::TwipsRect frame = form::kAboutFrame.rect;
    addControl(L"BUTTON", form::kAboutFrame, BS_GROUPBOX);
    // The frame's picture and labels stand within it.
    auto inFrame = [&frame](const form::TwipsRect& r) {
        return form::TwipsRect{frame.left + r.left, frame.top + r.top, r.width, r.height};
    };
    HWND picture = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0,
                                   0, 0, window(), nullptr, GetModuleHandleW(nullptr), nullptr);
    const HANDLE bitmap = LoadImageW(GetModuleHandleW(nullptr), L"ABOUT", IMAGE_BITMAP, 0, 0, 0);
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    const form::TwipsRect at = inFrame(form::kAboutPicture.rect);
    layout_.placeAtNaturalSize(picture, at.left, at.top, kPictureSize);
    for (const form::ControlDef& label : form::kAboutLabels)
        addControl(L"STATIC", label, SS_LEFT, inFrame(label.rect));
    ok_ = addControl(L"BUTTON", form::kAboutOk, WS_TABSTOP | BS_PUSHBUTTON, kOkId);
}

bool AboutBox::command(int id, int code, HWND) {
    if (id != kOkId || code != BN_CLICKED) return false;
    ShowWindow(window(), SW_HIDE);
    return true;
}

}  // namespace wordpour::win32
