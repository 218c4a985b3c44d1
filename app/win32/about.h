// The about box on Win32: the program's name, version, picture and where to
// find help. Modeless; OK hides it.
#pragma once

#include <windows.h>

#include "app/win32/twips_layout.h"

namespace wordpour::app::win32 {

class AboutBox {
public:
    ~AboutBox();
    // Shows the one about box, creating it the first time.
    void show();
    HWND window() const { return Form3; }
    bool handleDialogMessage(MSG& message);
    // Kept above other windows, now and once created.
    void setOnTop(bool onTop);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    HWND label(const wchar_t* text, TwipsRect inFrame, FontStyle font);

    HWND Form3 = nullptr;
    HWND Frame1 = nullptr;
    HWND Command1 = nullptr;
    TwipsLayout layout_;
    bool onTop_ = false;
};

}  // namespace wordpour::app::win32
