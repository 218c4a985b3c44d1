// The about box on Win32: the program's name, version, picture and where to
// find help. Modeless; OK hides it.
#pragma once

#include <windows.h>

#include "app/win32/twips_layout.h"

namespace wordpour::app::win32 {

class AboutBox {
public:
    AboutBox() = default;
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;
    ~AboutBox();
    // Shows the one about box, creating it the first time.
    void show();
    HWND window() const { return window_; }
    bool handleDialogMessage(MSG& message);
    // Kept above other windows, now and once created.
    void setOnTop(bool onTop);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    HWND control(const wchar_t* type, const form::ControlSpec& spec, DWORD style);

    HWND window_ = nullptr;
    HWND ok_ = nullptr;
    TwipsLayout layout_;
    bool onTop_ = false;
};

}  // namespace wordpour::app::win32
