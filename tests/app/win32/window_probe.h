// Looking into the Win32 windows from their tests: where a control stands,
// its text and font, what a screen reader hears, and keys pressed through
// the window's own loop.
#pragma once

#include <string>

#include <oleacc.h>
#include <windows.h>

#include "app/win32/main_window.h"
#include "tests/link/spreadsheet/fake_spreadsheet.h"

namespace wordpour::testing::win32 {

using wordpour::win32::MainWindow;

inline RECT clientRectIn(HWND control, HWND parent) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline int fontHeight(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight;
}

inline std::wstring textOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

// Moves the window to a monitor of `dpi`, as Windows does: it suggests the
// frame size for the new DPI.
inline void changeDpi(HWND window, UINT dpi, int clientWidthPx, int clientHeightPx) {
    RECT frame{0, 0, clientWidthPx, clientHeightPx};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                       GetMenu(window) != nullptr, 0);
    OffsetRect(&frame, 10 - frame.left, 10 - frame.top);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
}

// Posts a key to the control with the focus and runs the window's message
// loop until the key and all it caused have been handled.
inline void press(MainWindow& window, UINT key) {
    HWND target = GetFocus();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    PostQuitMessage(0);
    window.run();
}

// The window's main window over the in-memory spreadsheet, as the program
// makes it for Excel: no way to start the application.
inline link::spreadsheet::Backend stubBackend(FakeSpreadsheet& sheet) {
    return {.applicationName = u"Excel",
            .attachRunning = [&sheet] { return sheet.attach(); },
            .startApplication = {}};
}

// The name a screen reader hears for the control, through the system's
// accessibility object of its client area; empty when it has none.
inline std::wstring heardName(HWND control) {
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                   reinterpret_cast<void**>(&accessible)) != S_OK)
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    accessible->get_accName(self, &name);
    std::wstring heard = name ? std::wstring(name, SysStringLen(name)) : L"";
    SysFreeString(name);
    accessible->Release();
    return heard;
}

// The font a control draws with.
inline LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

}  // namespace wordpour::testing::win32
