// A modeless window of the program on Win32 (the cell-position dialog, the
// about box): a frame built from its table, hidden rather than destroyed by
// its close box, laid out again at each DPI, with Tab and Enter handled as
// in a dialog.
#pragma once

#include <windows.h>

#include <vector>

#include "app/form/layout.h"
#include "app/win32/twips_layout.h"

namespace wordpour::win32 {

class ModelessWindow {
public:
    ModelessWindow(const ModelessWindow&) = delete;
    ModelessWindow& operator=(const ModelessWindow&) = delete;
    virtual ~ModelessWindow();

    HWND window() const { return window_; }
    // Whether `message` is for the window and was handled (Tab, Enter).
    bool handleDialogMessage(MSG& message);
    // Kept above other windows, now and once created.
    void setOnTop(bool onTop);

protected:
    ModelessWindow() = default;
    // Creates the frame, hidden, with the window class `className`.
    void createFrame(const wchar_t* className, const form::WindowDef& def);
    // A control of `def`, at `at` (its table's place unless given).
    HWND addControl(const wchar_t* type, const form::ControlDef& def, DWORD style, int id = 0,
                    DWORD extendedStyle = 0);
    HWND addControl(const wchar_t* type, const form::ControlDef& def, DWORD style,
                    form::TwipsRect at);
    // Shows the window in front with the keyboard focus on `focus`.
    void showInFront(HWND focus);
    // A control's notification; whether it was handled.
    virtual bool command(int id, int code, HWND control) = 0;
    // The close box: hides the window, unless a window does otherwise.
    virtual void closed() { ShowWindow(window_, SW_HIDE); }

    TwipsLayout layout_;

private:
    std::vector<HWND> named_;  // the controls given a spoken name
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    bool onTop_ = false;
};

}  // namespace wordpour::win32
