// The about box on Win32: the program's name, version, picture and where to
// find help. Modeless, made the first time it is shown; OK hides it.
#pragma once

#include "app/win32/modeless_window.h"

namespace wordpour::win32 {

class AboutBox final : public ModelessWindow {
public:
    void show();

private:
    void create();
    bool command(int id, int code, HWND control) override;

    HWND ok_ = nullptr;
};

}  // namespace wordpour::win32
