#include "app/win32/modeless_window.h"

#include "app/win32/spoken_name.h"
#include "app/win32/win_text.h"

namespace wordpour::win32 {

ModelessWindow::~ModelessWindow() {
    for (HWND control : named_) clearSpokenName(control);
    if (window_) DestroyWindow(window_);
}

void ModelessWindow::createFrame(const wchar_t* className, const form::WindowDef& def) {
    window_ = win32::createFrame(className, procedure, toWide(def.title).c_str(), def.width,
                                 def.height, nullptr, this);
    keepOnTop(window_, onTop_);
}

HWND ModelessWindow::addControl(const wchar_t* type, const form::ControlDef& def, DWORD style,
                                int id, DWORD extendedStyle) {
    HWND control = CreateWindowExW(extendedStyle, type, toWide(def.text).c_str(),
                                   WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    layout_.place(control, def.rect, def.font);
    if (!def.spokenName.empty()) {
        setSpokenName(control, def.spokenName);
        named_.push_back(control);
    }
    return control;
}

HWND ModelessWindow::addControl(const wchar_t* type, const form::ControlDef& def, DWORD style,
                                form::TwipsRect at) {
    form::ControlDef placed = def;
    placed.rect = at;
    return addControl(type, placed, style);
}

void ModelessWindow::setOnTop(bool onTop) {
    onTop_ = onTop;
    keepOnTop(window_, onTop);
}

void ModelessWindow::showInFront(HWND focus) {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(focus);
}

bool ModelessWindow::handleDialogMessage(MSG& message) {
    if (!window_ || !IsWindowVisible(window_) || !IsChild(window_, message.hwnd)) return false;
    return IsDialogMessageW(window_, &message) != 0;
}

LRESULT CALLBACK ModelessWindow::procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* self = ownerOf<ModelessWindow>(window, message, lParam);
    switch (message) {
        case WM_COMMAND:
            // Enter and Escape (IDOK, IDCANCEL) press nothing of their own.
            if (self &&
                self->command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
                return 0;
            break;
        case WM_DPICHANGED:
            if (self) self->layout_.dpiChanged(window, wParam, lParam);
            return 0;
        case WM_CLOSE:
            // One window for the whole run: the cell-position dialog keeps
            // its name.
            if (self) self->closed();
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace wordpour::win32
