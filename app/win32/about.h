// The about box on Win32: the program's name, version, picture and where to
// find help. Modeless; OK hides it.
#pragma once

#include <vector>

#include <windows.h>

namespace wordpour::app::win32 {

class AboutBox {
public:
    ~AboutBox();
    // Shows the one about box, creating it the first time.
    void show();
    HWND window() const { return Form3; }
    bool handleDialogMessage(MSG& message);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    HWND label(const wchar_t* text, int left, int top, int width, int height, HFONT font);

    HWND Form3 = nullptr;
    HWND Frame1 = nullptr;
    HWND Command1 = nullptr;
    std::vector<HFONT> fonts_;
};

}  // namespace wordpour::app::win32
